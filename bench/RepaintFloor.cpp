// The least a scrolling title can cost: a bare Qt widget the size of the main window's title band,
// filled and repainted every 20 ms with nothing else going on, in a window the size of the main
// window. bench/report sets it beside the program playing with its title scrolling.
//   tavu_repaint_floor SECONDS   prints the CPU milliseconds used in SECONDS after a 2 s start
// The picture goes to the X server the way the program sends it (without shared memory).

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>

namespace {

double cpuMs()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    auto ms = [](const timeval& t) { return static_cast<double>(t.tv_sec) * 1e3 + t.tv_usec / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

class Band : public QWidget {
public:
    explicit Band(QWidget* parent) : QWidget(parent), m_frame(236, 24, QImage::Format_RGB32)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setGeometry(8, 27, 236, 24);
    }

    // One frame: the band cleared and a block of "text" two pixels further left.
    void step()
    {
        m_x = m_x <= -120 ? width() : m_x - 2;
        m_frame.fill(Qt::black);
        QPainter(&m_frame).fillRect(m_x, 5, 120, 14, QColor(86, 188, 253));
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).drawImage(0, 0, m_frame); }

private:
    QImage m_frame;
    int m_x = 236;
};

} // namespace

int main(int argc, char** argv)
{
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 0;
    if (seconds <= 0) {
        std::fprintf(stderr, "usage: tavu_repaint_floor SECONDS\n");
        return 2;
    }
    qputenv("QT_XCB_NO_MITSHM", "1");
    QApplication app(argc, argv);
    QWidget window(nullptr, Qt::FramelessWindowHint);
    window.setFixedSize(320, 104);
    auto* band = new Band(&window);
    window.show();
    QTimer frames;
    frames.setTimerType(Qt::PreciseTimer);
    QObject::connect(&frames, &QTimer::timeout, band, &Band::step);
    frames.start(20);
    double start = 0;
    QTimer::singleShot(2000, [&] { start = cpuMs(); });
    QTimer::singleShot(2000 + seconds * 1000, [&] {
        std::printf("%.0f\n", cpuMs() - start);
        app.quit();
    });
    return app.exec();
}
