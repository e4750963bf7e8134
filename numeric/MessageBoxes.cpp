#include "MessageBoxes.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

namespace {

class StandardErrorBoxes : public MessageBoxes {
public:
    void show(const BoxRequest& request) override
    {
        std::fprintf(stderr, "[%s] %s\n", request.caption.toLocal8Bit().constData(),
                     request.text.toLocal8Bit().constData());
    }
};

StandardErrorBoxes g_fallback;
MessageBoxes* g_boxes = nullptr;

MessageBoxes& boxes() { return g_boxes != nullptr ? *g_boxes : g_fallback; }

QString executablePath()
{
    if (QCoreApplication::instance() != nullptr)
        return QCoreApplication::applicationFilePath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

} // namespace

void SetMessageBoxes(MessageBoxes* implementation) { g_boxes = implementation; }

MessageBoxes* CurrentMessageBoxes() { return g_boxes; }

void ShowWarningBox(const QString& text)
{
    boxes().show({BoxKind::Warning, QStringLiteral("ФЕРЛУНД!"), text});
}

void ShowPlainMessage(const QString& text)
{
    boxes().show({BoxKind::Plain, ApplicationTitle(), text});
}

void ShowErrorBox(const Error& error)
{
    boxes().show({BoxKind::Error, ApplicationTitle(), ErrorBoxText(error.message())});
}

void ShowApplicationErrorBox(const Error& error)
{
    const QString module = QFileInfo(executablePath()).fileName();
    boxes().show({BoxKind::ApplicationError, QStringLiteral("Application Error"),
                  ApplicationErrorText(error, module)});
}

QString ApplicationTitleFor(const QString& executablePath)
{
    QString name = executablePath;
    const qsizetype slash = std::max(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\')));
    if (slash >= 0)
        name = name.mid(slash + 1);
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    if (name.size() > 1)
        name = name.left(1) + name.mid(1).toLower();
    return name;
}

QString ApplicationTitle() { return ApplicationTitleFor(executablePath()); }

QString ErrorBoxText(const QString& message)
{
    if (!message.isEmpty() && message.back().unicode() > u'.')
        return message + QLatin1Char('.');
    return message;
}

QString ApplicationErrorText(const Error& error, const QString& moduleName)
{
    const QString address = QStringLiteral("%1")
                                .arg(static_cast<qulonglong>(error.address() & 0xFFFFFFFFu), 8, 16, QLatin1Char('0'))
                                .toUpper();
    QString second = error.message();
    if (!second.isEmpty() && !second.endsWith(QLatin1Char('.')))
        second += QLatin1Char('.');
    return QStringLiteral("Exception %1 in module %2 at %3.\r\n%4\r\n")
        .arg(QString::fromLatin1(error.typeName()), moduleName, address, second);
}

RecordingMessageBoxes::RecordingMessageBoxes() : previous_(CurrentMessageBoxes()) { SetMessageBoxes(this); }

RecordingMessageBoxes::~RecordingMessageBoxes() { SetMessageBoxes(previous_); }

void RecordingMessageBoxes::show(const BoxRequest& request)
{
    boxes.append(request);
    if (onShow)
        onShow(request);
}

QStringList RecordingMessageBoxes::texts() const
{
    QStringList result;
    for (const BoxRequest& box : boxes)
        result.append(box.text);
    return result;
}
