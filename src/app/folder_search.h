#pragma once
// The recursive search for ".jpg" files under one folder.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

namespace zolvu {

// What the search needs from the window it runs in.
struct SearchEnvironment {
    std::function<void()> processMessages;  // the event hand-over
    std::function<void(int milliseconds)> sleep;
    std::function<bool()> stopRequested;  // Terminated or FStopFlag
    std::function<void(const QString&)> setStatus;
};

// Walks pPath (ending in "/") depth-first in the order the system returns
// entries. Every file with the archive bit whose extension is ".jpg" in any
// ASCII case is appended to pfilelist and counted in FCnt, and the status
// shows "Faile analüüsimiseks: " and the count. After each entry other than
// "." and "..", one hand-over and a 10 ms pause, then the stop test. A
// folder that is already on the current descent path (the searched folder
// and its ancestors up to "/" included) is not entered again, though it
// counts as an entry; a folder reached along two routes without a cycle is
// searched once per route. A folder that cannot be listed yields nothing;
// exceptions pass up, every enumeration closed on the way.
void reqSearch(const QString& pPath, QStringList& pfilelist, std::int32_t& FCnt, const SearchEnvironment& env);

}  // namespace zolvu
