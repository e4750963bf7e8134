#include "BrZerno.h"

#include "ErrorDispatch.h"
#include "Nastroyka_1.h"
#include "Numbers.h"
#include "Settings.h"
#include "Windows.h"
#include "ui_BrZerno.h"

#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace {

// The whole program converts and formats with ".", whatever the user's regional settings;
// this module sets it before any window exists.
[[maybe_unused]] const bool decimalSeparatorSet = (SetDecimalSeparator(QLatin1Char('.')), true);

GrainSettingsTexts grainSettings;

// A picture drawn to fit the box, in proportion; the label centres it.
QPixmap FittedPicture(const QString& resource, QSize box, qreal devicePixelRatio)
{
    QSvgRenderer renderer(resource);
    const QSize size = renderer.defaultSize().scaled(box, Qt::KeepAspectRatio);
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter, QRectF(QPointF(0, 0), size));
    return pixmap;
}

// When the file is there its four values replace the kept texts (a missing key reads "0");
// when it is not, the user is told and the kept texts stay.
void LoadGrainSettings()
{
    const std::optional<QStringList> values =
        ReadSettingsOrTell(GrainSettingsSection(), GrainSettingsKeys(), QStringLiteral("0"));
    if (values)
        grainSettings = GrainSettingsTexts::fromList(*values);
}

} // namespace

GrainSettingsTexts& GrainSettings() { return grainSettings; }

TForm5::TForm5(QWidget* parent) : FixedDialog(parent), ui(std::make_unique<Ui::TForm5>())
{
    Q_INIT_RESOURCE(grain);
    ui->setupUi(this);
    SetupFixedWindow(this, QSize(789, 436), TitleButtons::None);
    setWindowIcon(QIcon(QStringLiteral(":/grain/icon.svg")));

    // Labels that size themselves to their text; the heading keeps its box.
    for (QLabel* label : findChildren<QLabel*>())
        if (label != ui->Label1 && label != ui->Image1)
            label->adjustSize();
    ui->Image1->setPixmap(FittedPicture(QStringLiteral(":/grain/wheat.svg"), ui->Image1->size(), devicePixelRatioF()));
    for (auto [result, next] : {std::pair{ui->Label54, ui->Label3}, {ui->Label11, ui->Label18},
                                {ui->Label13, ui->Label20}, {ui->Label12, ui->Label19}, {ui->Label14, ui->Label21},
                                {ui->Label15, ui->Label22}, {ui->Label17, ui->Label10}, {ui->Label52, ui->Label53},
                                {ui->Label53, ui->Label51}})
        // A result too long for its row would run into the label after it.
        resultLabels_.add(result, [next](const QLabel& label) {
            return QSize(next->x() - 4 - label.x(), label.height());
        });

    connect(ui->Button1, &QPushButton::clicked, this, &TForm5::Button1Click);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &TForm5::BitBtn1Click);
    connect(ui->Button2, &QPushButton::clicked, this, &TForm5::Button2Click);
}

TForm5::~TForm5() = default;

void TForm5::showEvent(QShowEvent* event)
{
    FixedDialog::showEvent(event);
    CentreOnScreen(this);
}

void TForm5::Button1Click()
{
    Guarded([this] {
        LoadGrainSettings();
        DeliverFitted(this, CalculateGrainMash(grainSettings), resultLabels_);
    });
}

void TForm5::BitBtn1Click()
{
    Guarded([] { RunModal<TForm6>(); });
}

void TForm5::Button2Click()
{
    Guarded([this] { close(); });
}
