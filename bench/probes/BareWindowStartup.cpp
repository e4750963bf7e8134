// The floor of the start-up: a bare window of the main window's size, shown on the same
// platform and closed after its first paint in the same way.
#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QWidget>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

long long now()
{
    timespec t{};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000000000LL + t.tv_nsec;
}

long long cpu() // all threads of this process, from its start
{
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1000000000LL + t.tv_nsec;
}

class BareWindow : public QWidget {
protected:
    bool event(QEvent* event) override
    {
        const bool handled = QWidget::event(event);
        if (event->type() == QEvent::Paint && !painted_) {
            painted_ = true;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    std::printf("shown %lld\nshown_cpu %lld\n", now(), cpu());
                    std::fflush(stdout);
                    close();
                },
                Qt::QueuedConnection);
        }
        return handled;
    }

private:
    bool painted_ = false;
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    BareWindow window;
    window.setFixedSize(882, 548);
    if (argc > 1 && std::strcmp(argv[1], "text") == 0) {
        auto* label = new QLabel(QStringLiteral("Расcчитать ВОДУ"), &window);
        label->move(16, 16);
        label->adjustSize();
    }
    window.show();
    return application.exec();
}
