#include "Nastroyka.h"
#include "ui_Nastroyka.h"

#include "ErrorDispatch.h"
#include "Settings.h"
#include "SugarMash.h"
#include "Windows.h"

#include <QIcon>
#include <QLabel>

TForm3::TForm3() : ui(std::make_unique<Ui::TForm3>())
{
    Q_INIT_RESOURCE(sugar);
    ui->setupUi(this);
    setWindowIcon(QIcon(QStringLiteral(":/sugar/window.svg")));
    SetupFixedWindow(this, QSize(393, 262), TitleButtons::None);
    for (QLabel* label : findChildren<QLabel*>())
        label->adjustSize();

    connect(ui->Button1, &QPushButton::clicked, this, &TForm3::Button1Click);
    connect(ui->Button2, &QPushButton::clicked, this, &TForm3::Button2Click);

    Guarded([this] { FormCreate(); });
    CentreOnScreen(this);
}

TForm3::~TForm3() = default;

QList<QLineEdit*> TForm3::fields() const { return {ui->Edit1, ui->Edit2, ui->Edit3, ui->Edit4, ui->Edit5}; }

void TForm3::FormCreate()
{
    const auto values = ReadSettingsOrTell(QStringLiteral("Options"), SugarSettingsKeys(),
                                           QStringLiteral("Ошибка при чтении!"));
    if (!values)
        return; // the fields stay empty
    const QList<QLineEdit*> edits = fields();
    for (qsizetype i = 0; i < edits.size() && i < values->size(); ++i)
        edits[i]->setText(values->at(i));
}

void TForm3::Button1Click()
{
    Guarded([this] {
        // Key by key: a failing write leaves the earlier keys written and the window open.
        const QStringList keys = SugarSettingsKeys();
        const QList<QLineEdit*> edits = fields();
        for (qsizetype i = 0; i < keys.size(); ++i)
            WriteSetting(QStringLiteral("Options"), keys[i], edits[i]->text());
        close();
    });
}

void TForm3::Button2Click()
{
    Guarded([this] { close(); });
}
