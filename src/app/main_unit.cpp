#include "app/main_unit.h"

#include "app/detection_run.h"
#include "app/folder_search.h"
#include "app/preview_load.h"
#include "app/zolvu_const.h"
#include "platform/align_layout.h"
#include "platform/application.h"
#include "platform/exceptions.h"
#include "platform/handler_guard.h"
#include "platform/image_view.h"
#include "platform/path_text.h"
#include "platform/pause.h"
#include "platform/pictures_folder.h"
#include "platform/splitter.h"
#include "platform/status_bar.h"

#include <QCloseEvent>
#include <QIcon>
#include <QScopeGuard>

namespace zolvu {

TForm1* Form1 = nullptr;

namespace {

QString GetMyDocuments() {
    const auto path = PicturesFolder();
    if (!path) Raise(Exception(QStringLiteral("Could not find MyDocuments folder location.")));
    return *path;
}

template <class W>
W* Named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

}  // namespace

TForm1::TForm1() {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Zolvu"));
    QIcon icon;
    for (int size : {16, 24, 32, 48, 256}) icon.addFile(QStringLiteral(":/zolvu/zolvu-%1.png").arg(size));
    setWindowIcon(icon);
    QPalette background = palette();
    background.setColor(QPalette::Window, QColor(0xF1, 0xF1, 0xF1));
    setPalette(background);
    setAutoFillBackground(true);
    // Texts were laid out for a compact interface font; the toolkit's larger
    // default would spill past the labels' fixed boxes.
    QFont font = this->font();
    font.setPixelSize(11);
    setFont(font);
    resize(684, 480);

    auto* formLayout = new TAlignLayout(this, QSizeF(684, 480));
    StyleBook1 = Named(new TStyleBook(this), "StyleBook1");

    Panel1 = Named(new TPanel(this), "Panel1");
    auto* panel1Layout = new TAlignLayout(Panel1, QSizeF(684, 129));
    formLayout->AddAligned(Panel1, TAlignKind::Bottom, QRectF(0, 351, 684, 129));

    Label1 = Named(new TLabel(QStringLiteral("Otsi faile kataloogist:"), Panel1), "Label1");
    panel1Layout->AddAligned(Label1, TAlignKind::None, QRectF(8, 8, 129, 15));
    Edit1 = Named(new TEdit(QStringLiteral("c:\\"), Panel1), "Edit1");
    panel1Layout->AddAligned(Edit1, TAlignKind::Scale, QRectF(129.132690429688, 5, 549.822998046875, 22));
    Button1 = Named(new TButton(QStringLiteral("Analüüsi"), Panel1), "Button1");
    panel1Layout->AddAligned(Button1, TAlignKind::None, QRectF(499, 77, 80, 22));

    StatusBar1 = Named(new TStatusBar(Panel1, StyleBook1, QStringLiteral("StatusBar1Style1")), "StatusBar1");
    StatusBar1->SetShowSizeGrip(true);
    panel1Layout->AddAligned(StatusBar1, TAlignKind::Bottom, QRectF(0, 107, 684, 22));
    auto* statusLayout = new TAlignLayout(StatusBar1, QSizeF(684, 22));
    Label2 = Named(new TLabel(StatusBar1), "Label2");
    statusLayout->AddAligned(Label2, TAlignKind::None, QRectF(4, 5, 357, 15));
    // The status text changes after every file of a run. The label's box is
    // fixed by the design; fixing its size as well keeps each new text from
    // asking the whole form to lay itself out again.
    Label2->setFixedSize(Label2->size());

    Label3 = Named(new TLabel(QStringLiteral("Zolvu: fotod, millel on nägu. Tuvastus: OpenCV."), Panel1), "Label3");
    panel1Layout->AddAligned(Label3, TAlignKind::None, QRectF(128, 80, 329, 15));
    Button2 = Named(new TButton(QStringLiteral("Lõpeta"), Panel1), "Button2");
    panel1Layout->AddAligned(Button2, TAlignKind::None, QRectF(587, 77, 80, 22));
    CheckBox1 = Named(new TCheckBox(QStringLiteral("Kasuta täpsemat analüüsi"), Panel1), "CheckBox1");
    panel1Layout->AddAligned(CheckBox1, TAlignKind::None, QRectF(128, 32, 265, 19));

    Panel2 = Named(new TPanel(this), "Panel2");
    auto* panel2Layout = new TAlignLayout(Panel2, QSizeF(365, 351));
    formLayout->AddAligned(Panel2, TAlignKind::Left, QRectF(0, 0, 365, 351));
    ListBox1 = Named(new TListBox(Panel2), "ListBox1");
    panel2Layout->AddAligned(ListBox1, TAlignKind::Client, QRectF(0, 0, 365, 351));

    Splitter1 = Named(new TSplitter(this, formLayout, 20), "Splitter1");
    formLayout->AddAligned(Splitter1, TAlignKind::Left, QRectF(365, 0, 5, 351));

    Panel3 = Named(new TPanel(this), "Panel3");
    auto* panel3Layout = new TAlignLayout(Panel3, QSizeF(314, 351));
    formLayout->AddAligned(Panel3, TAlignKind::Client, QRectF(370, 0, 314, 351));
    Image1 = Named(new TImage(Panel3), "Image1");
    panel3Layout->AddAligned(Image1, TAlignKind::Client, QRectF(0, 22, 314, 329));
    Edit2 = Named(new TEdit(Panel3), "Edit2");
    panel3Layout->AddAligned(Edit2, TAlignKind::Top, QRectF(0, 0, 314, 22));

    // Keyboard order: the folder box, the option, the two buttons, then the
    // list and the path box. Labels, panels and the splitter take no focus.
    setTabOrder(Edit1, CheckBox1);
    setTabOrder(CheckBox1, Button1);
    setTabOrder(Button1, Button2);
    setTabOrder(Button2, ListBox1);
    setTabOrder(ListBox1, Edit2);

    connect(Button1, &QPushButton::clicked, this, GuardedSlot([this] { Button1Click(Button1); }));
    connect(Button2, &QPushButton::clicked, this, GuardedSlot([this] { Button2Click(Button2); }));
    ListBox1->OnChange = [this] { ListBox1Change(ListBox1); };

    // OnCreate runs unguarded: a failure here must end the start-up.
    FormCreate(this);
}

TAlignLayout* TForm1::LayoutOf(const QWidget* panel) const { return static_cast<TAlignLayout*>(panel->layout()); }

void TForm1::FormCreate(QObject*) { Edit1->setText(IncludeTrailingPathDelimiter(GetMyDocuments())); }

bool TForm1::StopTest() const { return Application->Terminated() || FStopFlag; }

void TForm1::reqSearch(const QString& pPath, QStringList& pfilelist) {
    const SearchEnvironment env{
        [] { Application->ProcessMessages(); },
        Pause,
        [this] { return StopTest(); },
        [this](const QString& text) { Label2->setText(text); },
    };
    zolvu::reqSearch(pPath, pfilelist, FCnt, env);
}

void TForm1::Button1Click(QObject* Sender) {
    auto* sender = static_cast<QWidget*>(Sender);
    Button2->setEnabled(true);
    FStopFlag = false;
    Label2->setText(QStringLiteral("Otsin..."));
    // The three steps above stand outside the run's protection: a failure
    // there leaves the handler like any other handler's failure.
    try {
        // The start button comes back however the run ends; it goes off
        // before the first hand-over, so no second run can start inside one.
        const auto reenable = qScopeGuard([sender] { sender->setEnabled(true); });
        ListBox1->Clear();
        FCnt = 0;
        sender->setEnabled(false);
        QStringList pfilelist;  // freed before the start button comes back
        if (!Trim(Edit1->text()).isEmpty()) reqSearch(IncludeTrailingPathDelimiter(Edit1->text()), pfilelist);
        if (!StopTest()) {
            const RunEnvironment env{
                [] { Application->ProcessMessages(); },
                Pause,
                [this] { return StopTest(); },
                [this] { return CheckBox1->isChecked(); },
                [this](const QString& path) { ListBox1->Add(path); },
                [this](const QString& text) { Label2->setText(text); },
            };
            // A stop or close seen after a file keeps the flag and the
            // progress text.
            if (analyseFiles(pfilelist, FGlobFaceCnt, env) == AnalysisEnd::Stopped) return;
        }
    } catch (...) {
        // A failure outside a file step ends the run as a normal end does.
    }
    FStopFlag = false;
    Label2->setText(QStringLiteral("Tehtud !"));
}

void TForm1::Button2Click(QObject* Sender) {
    FStopFlag = true;
    static_cast<QWidget*>(Sender)->setEnabled(false);
}

void TForm1::ListBox1Change(QObject*) {
    QListWidgetItem* selected = ListBox1->Selected();
    if (!selected) return;
    Edit2->setText(selected->text());
    if (auto picture = LoadBitmapFromFile(Edit2->text())) Image1->SetBitmap(std::move(*picture));
}

void TForm1::closeEvent(QCloseEvent* event) {
    // Closing the main window asks the application to end; the window stays
    // until the event loop has ended, so work in progress can finish.
    event->ignore();
    Application->Terminate();
}

}  // namespace zolvu
