// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_window_controls.h"

#include "app/command_line.h"
#include "app/control_texts.h"
#include "app/grid_view.h"
#include "app/lamp.h"
#include "app/settings.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QVBoxLayout>

namespace quorven {

namespace {

template <class W> W* Make(QWidget* parent, const char* name) {
    auto* w = new W(parent);
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

QPushButton* Button(QWidget* parent, const char* name) {
    auto* b = Make<QPushButton>(parent, name);
    b->setAutoDefault(false);
    return b;
}

QAction* MenuItem(QMenu* menu, const char* name) {
    auto* a = menu->addAction(QString());
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

void CreateControls(QWidget* w, MainWindowControls& c) {
    c.AdvStringGrid1 = Make<GridView>(w, "AdvStringGrid1");
    c.Label2 = Make<QLabel>(w, "Label2");
    c.ZAnz_StaticText = Make<QLabel>(w, "ZAnz_StaticText");
    c.ZAnz_StaticText->setText(QStringLiteral("0"));
    c.Label3 = Make<QLabel>(w, "Label3");
    c.MB1Port_ComboBox = Make<PortComboBox>(w, "MB1Port_ComboBox");
    for (int n = 1; n <= kPortCount; ++n) {
        c.MB1Port_ComboBox->addItem(PortName(n));
    }
    c.MB1Port_ComboBox->setMaxVisibleItems(16);
    c.Label3->setBuddy(c.MB1Port_ComboBox);
    c.Label6 = Make<QLabel>(w, "Label6");
    c.SB_ComboBox = Make<QComboBox>(w, "SB_ComboBox");
    for (const char* entry : kSearchBaudEntries) {
        c.SB_ComboBox->addItem(QString::fromLatin1(entry));
    }
    c.NP_CheckBox = Make<QCheckBox>(w, "NP_CheckBox");
    c.SND_NKE_CheckBox = Make<QCheckBox>(w, "SND_NKE_CheckBox");
    c.MultiTel_CheckBox = Make<QCheckBox>(w, "MultiTel_CheckBox");
    c.AppRes_CheckBox = Make<QCheckBox>(w, "AppRes_CheckBox");
    c.PS_Button = Button(w, "PS_Button");
    c.IDS_Button = Button(w, "IDS_Button");
    c.MBRead_Button = Button(w, "MBRead_Button");
    c.Label1 = Make<QLabel>(w, "Label1");
    c.PI_MaskEdit = Make<QLineEdit>(w, "PI_MaskEdit");
    // Up to five digits, as the cycle time in seconds.
    c.PI_MaskEdit->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,5}")), c.PI_MaskEdit));
    c.Label1->setBuddy(c.PI_MaskEdit);
    c.Poll_Button = Button(w, "Poll_Button");
    c.Log_Button = Button(w, "Log_Button");
    c.SStop_Button = Button(w, "SStop_Button");
    c.Modem_Button = Button(w, "Modem_Button");
    c.Label5 = Make<QLabel>(w, "Label5");
    c.Shape1 = Make<Lamp>(w, "Shape1");
    c.Status_StaticText = Make<QLabel>(w, "Status_StaticText");
    c.LogFile_CheckBox = Make<QCheckBox>(w, "LogFile_CheckBox");
    c.Dailylog_CheckBox = Make<QCheckBox>(w, "Dailylog_CheckBox");
    c.IDS_CheckBox = Make<QCheckBox>(w, "IDS_CheckBox");
    c.MDK_CheckBox = Make<QCheckBox>(w, "MDK_CheckBox");
    c.Label4 = Make<QLabel>(w, "Label4");
    c.CSVSeparator_MaskEdit = Make<QLineEdit>(w, "CSVSeparator_MaskEdit");
    c.CSVSeparator_MaskEdit->setMaxLength(1);
    c.CSVSeparator_MaskEdit->setText(QStringLiteral(","));
    c.CSVSeparator_MaskEdit->setAlignment(Qt::AlignCenter);
    c.Label4->setBuddy(c.CSVSeparator_MaskEdit);
    c.ProgressBar2 = Make<QProgressBar>(w, "ProgressBar2");
    c.Print1_Button = Button(w, "Print1_Button");
    c.Save1_Button = Button(w, "Save1_Button");
    c.Load1_Button = Button(w, "Load1_Button");
    c.DD_Button = Button(w, "DD_Button");
    c.AdvStringGrid2 = Make<GridView>(w, "AdvStringGrid2");
    c.Print2_Button = Button(w, "Print2_Button");
    c.Save2_Button = Button(w, "Save2_Button");
    c.Load2_Button = Button(w, "Load2_Button");
    c.Clear2_Button = Button(w, "Clear2_Button");
    c.Import_Button = Button(w, "Import_Button");
    c.Zoom_Button = Button(w, "Zoom_Button");
    c.Chart_Button = Button(w, "Chart_Button");
    c.Memo1 = Make<QPlainTextEdit>(w, "Memo1");
    c.Memo1->setReadOnly(true);
    c.Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    c.Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    c.ProgressBar1 = Make<QProgressBar>(w, "ProgressBar1");
    c.CL_Button = Button(w, "CL_Button");
    c.Exit_BitBtn = Button(w, "Exit_BitBtn");
    c.Exit_BitBtn->setIcon(w->style()->standardIcon(QStyle::SP_DialogCloseButton));

    for (QProgressBar* bar : {c.ProgressBar1, c.ProgressBar2}) {
        bar->setRange(0, 100);
        bar->setValue(0);
        // With its percentage an idle bar does not pass for an empty input field.
        bar->setTextVisible(true);
        bar->setFormat(QStringLiteral("%p %"));
        bar->setAlignment(Qt::AlignCenter);
    }
    c.ProgressBar2->setMaximumHeight(16);
    c.Dailylog_CheckBox->setVisible(false);

    c.PopupMenu2 = new QMenu(c.AdvStringGrid2);
    c.PopupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
    c.Chart1 = MenuItem(c.PopupMenu2, "Chart1");
    c.ChartFile1 = MenuItem(c.PopupMenu2, "ChartFile1");
    c.AdvStringGrid2->setContextMenuPolicy(Qt::CustomContextMenu);

    c.PopupMenu1 = new QMenu(c.AdvStringGrid1);
    c.PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    c.Insertslave1 = MenuItem(c.PopupMenu1, "Insertslave1");
    c.Appendslave1 = MenuItem(c.PopupMenu1, "Appendslave1");
    c.Deleteslave1 = MenuItem(c.PopupMenu1, "Deleteslave1");
    c.Testslave1 = MenuItem(c.PopupMenu1, "Testslave1");
    c.Clearlist1 = MenuItem(c.PopupMenu1, "Clearlist1");
    c.Clearlist2 = MenuItem(c.PopupMenu1, "Clearlist2");
    c.SetPaddr1 = MenuItem(c.PopupMenu1, "SetPaddr1");
    c.S1 = MenuItem(c.PopupMenu1, "S1");
    c.SndNke1 = MenuItem(c.PopupMenu1, "SndNke1");
    c.SndNkeAll1 = MenuItem(c.PopupMenu1, "SndNkeAll1");
    c.AppRes1 = MenuItem(c.PopupMenu1, "AppRes1");
    c.AppResAll1 = MenuItem(c.PopupMenu1, "AppResAll1");
    c.ReadPAdr01 = MenuItem(c.PopupMenu1, "ReadPAdr01");
    c.AdvStringGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
}

// Options and commands right of the slave list, in the arrangement of three
// columns: options, commands, stop and modem.
QGridLayout* RightPanel(const MainWindowControls& c) {
    auto* g = new QGridLayout;
    g->setHorizontalSpacing(6);
    g->setVerticalSpacing(2);

    auto* count = new QHBoxLayout;
    count->setSpacing(4);
    count->addWidget(c.Label2);
    count->addWidget(c.ZAnz_StaticText);
    count->addStretch();
    g->addLayout(count, 0, 0);
    g->addWidget(c.Label3, 0, 1, Qt::AlignRight);
    g->addWidget(c.MB1Port_ComboBox, 0, 2);
    g->addWidget(c.Label6, 1, 0, 1, 2, Qt::AlignRight);
    g->addWidget(c.SB_ComboBox, 1, 2);
    g->addWidget(c.NP_CheckBox, 2, 0, 1, 3, Qt::AlignHCenter);

    g->addWidget(c.SND_NKE_CheckBox, 3, 0);
    g->addWidget(c.MultiTel_CheckBox, 4, 0);
    g->addWidget(c.AppRes_CheckBox, 5, 0);
    g->addWidget(c.Label1, 6, 0);
    g->addWidget(c.PI_MaskEdit, 7, 0);

    g->addWidget(c.PS_Button, 3, 1);
    g->addWidget(c.IDS_Button, 4, 1);
    g->addWidget(c.MBRead_Button, 5, 1);
    g->addWidget(c.Poll_Button, 6, 1);
    g->addWidget(c.Log_Button, 7, 1);

    c.SStop_Button->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    g->addWidget(c.SStop_Button, 3, 2, 4, 1);
    g->addWidget(c.Modem_Button, 7, 2);

    auto* status = new QGridLayout;
    status->setHorizontalSpacing(6);
    status->setVerticalSpacing(0);
    status->addWidget(c.Shape1, 0, 0, 2, 1, Qt::AlignVCenter);
    status->addWidget(c.Label5, 0, 1);
    status->addWidget(c.Status_StaticText, 1, 1);
    g->addLayout(status, 8, 0, 2, 1);

    g->addWidget(c.LogFile_CheckBox, 8, 1, 1, 1);
    g->addWidget(c.IDS_CheckBox, 8, 2);
    g->addWidget(c.Dailylog_CheckBox, 9, 1);
    g->addWidget(c.MDK_CheckBox, 9, 2);
    g->addWidget(c.ProgressBar2, 10, 0);
    g->setRowStretch(11, 1);
    return g;
}

// A pane of the splitter holding a layout.
QWidget* Pane(QLayout* layout) {
    auto* pane = new QWidget;
    layout->setContentsMargins(0, 0, 0, 0);
    pane->setLayout(layout);
    return pane;
}

void Arrange(QWidget* central, MainWindowControls& c) {
    auto* slaveButtons = new QHBoxLayout;
    for (QPushButton* b : {c.Print1_Button, c.Save1_Button, c.Load1_Button, c.DD_Button}) {
        slaveButtons->addWidget(b);
    }
    slaveButtons->addStretch();
    c.CSVSeparator_MaskEdit->setFixedWidth(c.CSVSeparator_MaskEdit->fontMetrics().height() + 12);
    slaveButtons->addWidget(c.CSVSeparator_MaskEdit);
    slaveButtons->addWidget(c.Label4);

    auto* slaveColumn = new QVBoxLayout;
    slaveColumn->addWidget(c.AdvStringGrid1, 1);
    slaveColumn->addLayout(slaveButtons);

    auto* top = new QHBoxLayout;
    top->addLayout(slaveColumn, 1);
    top->addLayout(RightPanel(c), 0);

    auto* dataButtons = new QHBoxLayout;
    for (QPushButton* b :
         {c.Print2_Button, c.Save2_Button, c.Load2_Button, c.Clear2_Button, c.Import_Button}) {
        dataButtons->addWidget(b);
    }
    dataButtons->addStretch();
    dataButtons->addWidget(c.Chart_Button);
    dataButtons->addWidget(c.Zoom_Button);

    auto* data = new QVBoxLayout;
    data->addWidget(c.AdvStringGrid2, 1);
    data->addLayout(dataButtons);

    auto* bottomRight = new QGridLayout;
    bottomRight->addWidget(c.ProgressBar1, 0, 0, 1, 2);
    bottomRight->addWidget(c.CL_Button, 1, 1);
    bottomRight->addWidget(c.Exit_BitBtn, 2, 1);
    bottomRight->setColumnStretch(0, 1);
    bottomRight->setRowStretch(3, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(c.Memo1, 1);
    bottom->addLayout(bottomRight, 0);

    // The slave list, the data table and the text area; the data table takes
    // what the window grows by.
    c.Splitter1 = new QSplitter(Qt::Vertical, central);
    c.Splitter1->setObjectName(QStringLiteral("Splitter1"));
    c.Splitter1->setChildrenCollapsible(false);
    c.Splitter1->addWidget(Pane(top));
    c.Splitter1->addWidget(Pane(data));
    c.Splitter1->addWidget(Pane(bottom));
    c.Splitter1->setStretchFactor(0, 0);
    c.Splitter1->setStretchFactor(1, 1);
    c.Splitter1->setStretchFactor(2, 0);

    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(8, 8, 8, 4);
    layout->addWidget(c.Splitter1);
}

// The language menu, the Help menu, and the hint of the first start at the
// left of the status bar. The language menu's caption and items read the
// same in every language, so that anyone finds them.
void AddMenus(QMainWindow* window, MainWindowControls& c) {
    c.Language1 = window->menuBar()->addMenu(QStringLiteral("Nyelv / Language"));
    c.Language1->setObjectName(QStringLiteral("Language1"));
    auto* languages = new QActionGroup(c.Language1);
    c.LanguageHu1 = c.Language1->addAction(QStringLiteral("Magyar"));
    c.LanguageHu1->setObjectName(QStringLiteral("LanguageHu1"));
    c.LanguageEn1 = c.Language1->addAction(QStringLiteral("English"));
    c.LanguageEn1->setObjectName(QStringLiteral("LanguageEn1"));
    for (QAction* a : {c.LanguageHu1, c.LanguageEn1}) {
        a->setCheckable(true);
        languages->addAction(a);
    }
    c.LanguageHu1->setChecked(true);
    c.Help1 = window->menuBar()->addMenu(QString());
    c.Help1->setObjectName(QStringLiteral("Help1"));
    c.About1 = c.Help1->addAction(QString());
    c.About1->setObjectName(QStringLiteral("About1"));
    c.FirstStart_Label = new QLabel(c.StatusBar1);
    c.FirstStart_Label->setObjectName(QStringLiteral("FirstStart_Label"));
    c.StatusBar1->addWidget(c.FirstStart_Label, 1);
    c.FirstStart_Label->hide();
}

// Tab order in the order the controls are listed.
void ChainTabOrder(const MainWindowControls& c) {
    QWidget* order[] = {
        c.AdvStringGrid1,
        c.MB1Port_ComboBox,
        c.SB_ComboBox,
        c.NP_CheckBox,
        c.SND_NKE_CheckBox,
        c.MultiTel_CheckBox,
        c.AppRes_CheckBox,
        c.PS_Button,
        c.IDS_Button,
        c.MBRead_Button,
        c.PI_MaskEdit,
        c.Poll_Button,
        c.Log_Button,
        c.SStop_Button,
        c.Modem_Button,
        c.LogFile_CheckBox,
        c.IDS_CheckBox,
        c.MDK_CheckBox,
        c.CSVSeparator_MaskEdit,
        c.Print1_Button,
        c.Save1_Button,
        c.Load1_Button,
        c.DD_Button,
        c.AdvStringGrid2,
        c.Print2_Button,
        c.Save2_Button,
        c.Load2_Button,
        c.Clear2_Button,
        c.Import_Button,
        c.Chart_Button,
        c.Zoom_Button,
        c.Memo1,
        c.CL_Button,
        c.Exit_BitBtn,
    };
    for (std::size_t i = 1; i < std::size(order); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }
}

} // namespace

void BuildMainWindowControls(QMainWindow* window, MainWindowControls& c) {
    auto* central = new QWidget(window);
    central->setObjectName(QStringLiteral("ClientArea"));
    CreateControls(central, c);
    Arrange(central, c);
    ChainTabOrder(c);
    window->setCentralWidget(central);
    c.StatusBar1 = window->statusBar();
    c.StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    AddMenus(window, c);
    TranslateMenus(c);
}

void TranslateMenus(MainWindowControls& c) {
    ApplyTexts(c.Splitter1->parentWidget(), kMainWindowTexts, kMainWindowTextCount);
    ApplyTexts(c.PopupMenu1, kSlaveMenuTexts, kSlaveMenuTextCount);
    ApplyTexts(c.PopupMenu2, kDataMenuTexts, kDataMenuTextCount);
    c.Help1->setTitle(QCoreApplication::translate("MainWindow", "&Help"));
    c.About1->setText(QCoreApplication::translate("MainWindow", "&About Quorven"));
    c.FirstStart_Label->setText(QCoreApplication::translate(
        "MainWindow", "To begin: search the bus (\"Cím keresés\", \"Gy.sz.keresés\"), load a slave "
                      "list (\"mérölista betöltés\") or import a telegram (\"Import\")."));
}

} // namespace quorven
