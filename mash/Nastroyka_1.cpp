#include "Nastroyka_1.h"

#include "ErrorDispatch.h"
#include "GrainMash.h"
#include "KeyFilter.h"
#include "Settings.h"
#include "Windows.h"
#include "ui_Nastroyka_1.h"

#include <QLabel>

TForm6::TForm6(QWidget* parent) : FixedDialog(parent), ui(std::make_unique<Ui::TForm6>())
{
    ui->setupUi(this);
    SetupFixedWindow(this, QSize(315, 202), TitleButtons::None);
    for (QLabel* label : findChildren<QLabel*>())
        label->adjustSize();

    InstallKeyPressHandler(ui->Edit1, [this](QChar& key) { Edit1KeyPress(key); });
    InstallKeyPressHandler(ui->Edit2, [this](QChar& key) { Edit2KeyPress(key); });
    InstallKeyPressHandler(ui->Edit3, [this](QChar& key) { Edit3KeyPress(key); });
    InstallKeyPressHandler(ui->Edit4, [this](QChar& key) { Edit4KeyPress(key); });
    connect(ui->Button1, &QPushButton::clicked, this, &TForm6::Button1Click);
    connect(ui->Button2, &QPushButton::clicked, this, &TForm6::Button2Click);

    Guarded([this] { FormCreate(); });
}

TForm6::~TForm6() = default;

void TForm6::showEvent(QShowEvent* event)
{
    FixedDialog::showEvent(event);
    CentreOnScreen(this);
}

void TForm6::FormCreate()
{
    // No file: the user is told and the fields keep their built-in texts.
    const std::optional<QStringList> values =
        ReadSettingsOrTell(GrainSettingsSection(), GrainSettingsKeys(), QStringLiteral("Ошибка при чтении!"));
    if (!values)
        return;
    const GrainSettingsTexts texts = GrainSettingsTexts::fromList(*values);
    ui->Edit1->setText(texts.vKub);
    ui->Edit2->setText(texts.vVod);
    ui->Edit3->setText(texts.sDr);
    ui->Edit4->setText(texts.pDr);
}

void TForm6::Button1Click()
{
    // The texts go out as they stand; a refused write ends the save there and keeps the
    // window open.
    Guarded([this] {
        const QStringList keys = GrainSettingsKeys();
        WriteSetting(GrainSettingsSection(), keys.at(0), ui->Edit1->text());
        WriteSetting(GrainSettingsSection(), keys.at(1), ui->Edit2->text());
        WriteSetting(GrainSettingsSection(), keys.at(2), ui->Edit3->text());
        WriteSetting(GrainSettingsSection(), keys.at(3), ui->Edit4->text());
        close();
    });
}

void TForm6::Button2Click()
{
    Guarded([this] { close(); });
}

void TForm6::Edit1KeyPress(QChar& key) { FilterNumericKey(key); }
void TForm6::Edit2KeyPress(QChar& key) { FilterNumericKey(key); }
void TForm6::Edit3KeyPress(QChar& key) { FilterNumericKey(key); }
void TForm6::Edit4KeyPress(QChar& key) { FilterNumericKey(key); }
