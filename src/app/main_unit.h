#pragma once
// The main window: its components, their layout and texts, and the four
// handlers bound to its events. The form wires and displays; the search,
// the analysis loop and the preview loading are functions it calls.

#include "platform/list_box.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QWidget>
#include <cstdint>

namespace zolvu {

class TAlignLayout;
class TImage;
class TSplitter;
class TStatusBar;
class TStyleBook;

using TPanel = QWidget;
using TLabel = QLabel;
using TEdit = QLineEdit;
using TButton = QPushButton;
using TCheckBox = QCheckBox;

class TForm1 : public QWidget {
public:
    TForm1();

    TPanel* Panel1;
    TPanel* Panel2;
    TSplitter* Splitter1;
    TPanel* Panel3;
    TImage* Image1;
    TLabel* Label1;
    TEdit* Edit1;
    TButton* Button1;
    TListBox* ListBox1;
    TStatusBar* StatusBar1;
    TStyleBook* StyleBook1;
    TLabel* Label2;
    TLabel* Label3;
    TEdit* Edit2;
    TButton* Button2;
    TCheckBox* CheckBox1;

    void FormCreate(QObject* Sender);
    void Button1Click(QObject* Sender);
    void ListBox1Change(QObject* Sender);
    void Button2Click(QObject* Sender);

    // Read-only views for those who observe the form (tests among them).
    std::int32_t Count() const { return FCnt; }
    bool StopFlag() const { return FStopFlag; }

    // The layout that places each panel's children, for those who check it.
    TAlignLayout* LayoutOf(const QWidget* panel) const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void reqSearch(const QString& pPath, QStringList& pfilelist);
    bool StopTest() const;

    std::int32_t FCnt = 0;
    bool FStopFlag = false;
};

extern TForm1* Form1;

}  // namespace zolvu
