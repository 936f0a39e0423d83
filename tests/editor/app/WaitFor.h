#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <functional>

namespace vesk::test {

// Runs the event loop until the condition holds or a generous deadline
// passes; the caller asserts on the result, never on the time taken.
inline bool WaitFor(const std::function<bool()>& condition)
{
    const QDeadlineTimer deadline(5000);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

} // namespace vesk::test
