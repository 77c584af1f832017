#pragma once
// Shared by the two start-up probes: at the first paint of a top-level
// window, write one byte to the pipe the bench gave as descriptor 3, and quit.

#include <unistd.h>

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>

class FirstPaintSignal : public QObject {
public:
    static constexpr int kPipe = 3;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!m_done && event->type() == QEvent::Paint) {
            auto* widget = qobject_cast<QWidget*>(watched);
            if (widget && widget->isWindow()) {
                m_done = true;
                // After this paint has finished.
                QTimer::singleShot(0, qApp, [] {
                    const char byte = 1;
                    [[maybe_unused]] const auto written = ::write(kPipe, &byte, 1);
                    QCoreApplication::quit();
                });
            }
        }
        return false;
    }

private:
    bool m_done = false;
};
