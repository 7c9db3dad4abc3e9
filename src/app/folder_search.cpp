#include "app/folder_search.h"

#include "platform/file_search.h"
#include "platform/path_text.h"

namespace zolvu {

void reqSearch(const QString& pPath, QStringList& pfilelist, std::int32_t& FCnt, const SearchEnvironment& env) {
    TSearchRec search;
    if (FindFirst(IncludeTrailingPathDelimiter(pPath), search) != 0) return;
    do {
        if (search.Name == u"." || search.Name == u"..") continue;
        if ((search.Attr & faDirectory) == faDirectory) {
            reqSearch(IncludeTrailingPathDelimiter(pPath + search.Name), pfilelist, FCnt, env);
        } else if ((search.Attr & faArchive) == faArchive) {
            const QString pfile = pPath + search.Name;
            if (LowerCase(ExtractFileExt(pfile)) == u".jpg") {
                pfilelist.append(pfile);
                ++FCnt;
                env.setStatus(QStringLiteral("Faile analüüsimiseks: ") + QString::number(FCnt));
            }
        }
        env.processMessages();
        env.sleep(10);
        if (env.stopRequested()) return;
    } while (FindNext(search) == 0);
}

}  // namespace zolvu
