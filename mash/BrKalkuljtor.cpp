#include "BrKalkuljtor.h"
#include "ui_BrKalkuljtor.h"

#include "ErrorDispatch.h"
#include "Nastroyka.h"
#include "Numbers.h"
#include "Settings.h"
#include "Windows.h"

#include <QIcon>
#include <QLabel>

namespace {

SugarSettings g_sugarSettings;

// The letters and index digits of a formula sit side by side, so each part starts where the
// one before it ends, whatever face stands in for "MS Sans Serif".
void ChainFormula(std::initializer_list<QLabel*> parts)
{
    QLabel* previous = nullptr;
    for (QLabel* part : parts) {
        if (previous != nullptr)
            part->move(previous->geometry().right() + 1, part->y());
        previous = part;
    }
}

} // namespace

SugarSettings& KeptSugarSettings() { return g_sugarSettings; }

TForm2::TForm2() : ui(std::make_unique<Ui::TForm2>())
{
    Q_INIT_RESOURCE(sugar);
    ui->setupUi(this);
    setWindowIcon(QIcon(QStringLiteral(":/sugar/window.svg")));
    ui->BitBtn1->setIcon(QIcon(QStringLiteral(":/sugar/settings.svg")));
    SetupFixedWindow(this, QSize(797, 397), TitleButtons::None);

    // Labels size themselves to their text, as the result labels do at every calculation.
    for (QLabel* label : findChildren<QLabel*>())
        label->adjustSize();
    // A heavy batch gives results wider than their columns: drawn smaller, never cut off.
    for (QLabel* result : {ui->Label13, ui->Label14, ui->Label15, ui->Label16, ui->Label17, ui->Label18, ui->Label46,
                           ui->Label45, ui->Label37, ui->Label41, ui->Label38, ui->Label42, ui->Label39, ui->Label43,
                           ui->Label40, ui->Label44, ui->Label55})
        resultLabels_.add(result);
    ChainFormula({ui->Label19, ui->Label20});
    ChainFormula({ui->Label22, ui->Label23, ui->Label24, ui->Label25, ui->Label26});
    ChainFormula({ui->Label28, ui->Label29, ui->Label32, ui->Label30, ui->Label31});

    connect(ui->Button3, &QPushButton::clicked, this, &TForm2::Button3Click);
    connect(ui->Button2, &QPushButton::clicked, this, &TForm2::Button2Click);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &TForm2::BitBtn1Click);

    Guarded([this] { FormCreate(); });
    CentreOnScreen(this);
}

TForm2::~TForm2() = default;

void TForm2::FormCreate() { SetDecimalSeparator(QLatin1Char('.')); }

void TForm2::Button3Click()
{
    Guarded([this] {
        // The weight first: a text that is no whole number leaves the window and the file alone.
        const std::int32_t grams = ParseInteger(ui->Edit1->text());
        SetLabelText(ui->Label55, SugarKilogramsText(grams));
        if (const auto values = ReadSettingsOrTell(QStringLiteral("Options"), SugarSettingsKeys(), QStringLiteral("0")))
            KeptSugarSettings() = SugarSettings::fromList(*values);
        DeliverFitted(this, CalculateSugarMash(ui->Edit1->text(), KeptSugarSettings()), resultLabels_);
    });
}

void TForm2::Button2Click()
{
    Guarded([this] { close(); });
}

void TForm2::BitBtn1Click()
{
    Guarded([] { RunModal<TForm3>(); });
}
