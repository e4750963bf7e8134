#include "TForm1.h"

#include "Blending.h"
#include "BrKalkuljtor.h"
#include "BrZerno.h"
#include "ErrorDispatch.h"
#include "Help.h"
#include "KeyFilter.h"
#include "Outcome.h"
#include "Pictures.h"
#include "RawSpiritCut.h"
#include "WaterDilution.h"
#include "Windows.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QStyle>
#include <QStyleFactory>
#include <QUrl>

namespace {

const QSize kClientArea(882, 548);

} // namespace

TForm1::TForm1(QWidget* parent) : QWidget(parent)
{
    ui.setupUi(this);
    SetupFixedWindow(this, kClientArea, TitleButtons::None);
    setWindowIcon(WindowIcon());

    // The desktop's button face behind everything, as on a dialog.
    QPalette background = palette();
    background.setColor(QPalette::Window, background.color(QPalette::Button));
    setPalette(background);
    setAutoFillBackground(true);

    // The group boxes carry their captions on the frame line, as the panels' positions
    // assume (the panel of the cut calculator starts 8 pixels below the box's top).
    if (QStyle* framed = QStyleFactory::create(QStringLiteral("Windows"))) {
        framed->setParent(this); // outlives the group boxes: deleted after them
        for (QGroupBox* box : {ui.GroupBox1, ui.GroupBox2, ui.GroupBox3, ui.GroupBox4})
            box->setStyle(framed);
    }

    for (QLabel* label : findChildren<QLabel*>())
        if (label != ui.Image1)
            label->adjustSize();
    for (QLabel* label : {ui.Label3, ui.Label4, ui.Label37, ui.Label38, ui.Label7, ui.Label13, ui.Label14,
                          ui.Label30, ui.Label46, ui.Label52})
        resultLabels_.add(label);

    const QString still = QStringLiteral(":/pictures/still.svg");
    ui.Image1->setPixmap(RenderPicture(still, FittedSize(still, ui.Image1->size())));

    ui.BitBtn1->setIcon(QIcon(RenderPicture(QStringLiteral(":/pictures/calculator-sugar.svg"), QSize(32, 32))));
    ui.BitBtn1->setIconSize(QSize(32, 32));
    ui.BitBtn2->setIcon(QIcon(RenderPicture(QStringLiteral(":/pictures/calculator-grain.svg"), QSize(32, 32))));
    ui.BitBtn2->setIconSize(QSize(32, 32));
    ui.BitBtn3->setIcon(QIcon(RenderPicture(QStringLiteral(":/pictures/exit.svg"), QSize(89, 41))));
    ui.BitBtn3->setIconSize(QSize(89, 41));

    InstallKeyPressHandler(ui.Edit1, [this](QChar& key) { Edit1KeyPress(key); });
    InstallKeyPressHandler(ui.Edit2, [this](QChar& key) { Edit2KeyPress(key); });
    InstallKeyPressHandler(ui.Edit3, [this](QChar& key) { Edit3KeyPress(key); });
    InstallKeyPressHandler(ui.Edit4, [this](QChar& key) { Edit4KeyPress(key); });
    InstallKeyPressHandler(ui.Edit5, [this](QChar& key) { Edit5KeyPress(key); });
    InstallKeyPressHandler(ui.Edit6, [this](QChar& key) { Edit6KeyPress(key); });
    InstallKeyPressHandler(ui.Edit7, [this](QChar& key) { Edit7KeyPress(key); });
    InstallKeyPressHandler(ui.Edit8, [this](QChar& key) { Edit8KeyPress(key); });
    InstallKeyPressHandler(ui.Edit9, [this](QChar& key) { Edit9KeyPress(key); });
    InstallKeyPressHandler(ui.Edit10, [this](QChar& key) { Edit10KeyPress(key); });
    // The second blending panel shares the handlers of the first.
    InstallKeyPressHandler(ui.Edit11, [this](QChar& key) { Edit7KeyPress(key); });
    InstallKeyPressHandler(ui.Edit12, [this](QChar& key) { Edit8KeyPress(key); });
    InstallKeyPressHandler(ui.Edit14, [this](QChar& key) { Edit10KeyPress(key); });

    connect(ui.Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    connect(ui.Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
    connect(ui.Button4, &QPushButton::clicked, this, &TForm1::Button4Click);
    connect(ui.Button5, &QPushButton::clicked, this, &TForm1::Button5Click);
    connect(ui.Button7, &QPushButton::clicked, this, &TForm1::Button7Click);
    connect(ui.BitBtn1, &QPushButton::clicked, this, &TForm1::BitBtn1Click);
    connect(ui.BitBtn2, &QPushButton::clicked, this, &TForm1::BitBtn2Click);
    connect(ui.BitBtn3, &QPushButton::clicked, this, &TForm1::BitBtn3Click);
    connect(ui.Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
    connect(ui.Button6, &QPushButton::clicked, this, &TForm1::Button6Click);

    FormCreate();
}

TForm1::~TForm1() { FormDestroy(); }

QStringList& TForm1::LifecycleTrace()
{
    static QStringList trace;
    return trace;
}

void TForm1::FormCreate()
{
    Guarded([this] {
        LifecycleTrace().append(QStringLiteral("FormCreate"));
        // When the database cannot be opened by either name the user has been told, and the
        // run ends before the window is ever shown.
        quitRequested_ = OpenReferenceDatabase(IBDatabase1);
    });
}

void TForm1::FormClose()
{
    Guarded([this] {
        LifecycleTrace().append(QStringLiteral("FormClose"));
        IBDatabase1.closeQuery(); // always before the connection
    });
}

void TForm1::FormDestroy()
{
    Guarded([this] {
        LifecycleTrace().append(QStringLiteral("FormDestroy"));
        IBDatabase1.close();
    });
}

void TForm1::closeEvent(QCloseEvent* event)
{
    FormClose();
    event->accept();
}

void TForm1::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!shownBefore_) {
        shownBefore_ = true;
        CentreOnScreen(this);
    }
}

void TForm1::Present(const Outcome& outcome) { DeliverFitted(this, outcome, resultLabels_); }

void TForm1::Button1Click()
{
    Guarded([this] { Present(CalculateRawSpiritCut(ui.Edit1->text(), ui.Edit2->text())); });
}

void TForm1::Button3Click()
{
    Guarded([this] { Present(CalculateMashHeads(ui.Edit3->text())); });
}

void TForm1::Button4Click()
{
    Guarded([this] {
        Present(RunWaterDilution(ui.Edit4->text(), ui.Edit5->text(), ui.Edit6->text(),
                                 [this](const QString& strength) { return IBDatabase1.lookup(strength); }));
    });
}

void TForm1::Button5Click()
{
    Guarded([this] {
        Present(CalculateMixStrength(ui.Edit7->text(), ui.Edit8->text(), ui.Edit9->text(), ui.Edit10->text()));
    });
}

void TForm1::Button7Click()
{
    Guarded([this] { Present(CalculateSpiritAndWater(ui.Edit12->text(), ui.Edit11->text(), ui.Edit14->text())); });
}

void TForm1::BitBtn1Click()
{
    Guarded([] { RunModal<TForm2>(); });
}

void TForm1::BitBtn2Click()
{
    Guarded([] { RunModal<TForm5>(); });
}

void TForm1::BitBtn3Click()
{
    Guarded([this] { close(); });
}

void TForm1::Button2Click()
{
    Guarded([] {
        // Relative to the current directory, not the executable's; whether a viewer opens is
        // the desktop's business and is never reported.
        QDesktopServices::openUrl(QUrl::fromLocalFile(QDir::current().filePath(QStringLiteral("help.chm"))));
    });
}

void TForm1::Button6Click()
{
    Guarded([] { RunModal<TForm4>(); });
}

void TForm1::Edit1KeyPress(QChar& key) { Guarded([&] { FilterNumericKey(key); }); }
void TForm1::Edit2KeyPress(QChar& key) { Guarded([&] { FilterNumericKey(key); }); }
void TForm1::Edit3KeyPress(QChar& key) { Guarded([&] { FilterNumericKey(key); }); }
void TForm1::Edit4KeyPress(QChar& key) { Guarded([&] { FilterNumericKey(key); }); }
void TForm1::Edit5KeyPress(QChar& key) { Guarded([&] { FilterNumericKey(key); }); }
void TForm1::Edit6KeyPress(QChar& key) { Guarded([&] { FilterNumericKey(key); }); }
void TForm1::Edit7KeyPress(QChar& key) { Guarded([&] { FilterNumericKey(key); }); }
void TForm1::Edit8KeyPress(QChar& key) { Guarded([&] { FilterNumericKey(key); }); }
void TForm1::Edit9KeyPress(QChar& key) { Guarded([&] { FilterNumericKey(key); }); }
void TForm1::Edit10KeyPress(QChar& key) { Guarded([&] { FilterNumericKey(key); }); }
