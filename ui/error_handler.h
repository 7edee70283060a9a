// The top-level error handler: an exception that leaves an event handler is
// shown in one modal box with the stop icon and the application title as
// caption; a silent cancel shows nothing. Event handlers run inside
// Guarded(); TApplication catches whatever still escapes an event.
#pragma once

#include <QApplication>

#include <exception>
#include <string>
#include <string_view>
#include <utility>

namespace ov::ui {

// Ends an operation without any message, after the operation has shown its
// own.
class ESilentCancel : public std::exception {
public:
    const char* what() const noexcept override { return "Operation aborted"; }
};

// The application title: the task-bar text and the error box's caption.
void SetApplicationTitle(std::string title);
const std::string& ApplicationTitle();

// The running program's file name, without its folder ("OV2021DM").
std::string ProgramFileName();

// The error box's text for `message`: the message, followed by a full stop
// when it is not empty and its last character's code is above 46 (the code
// of the full stop).
std::string FormatErrorText(std::string_view message);

// Shows the exception being handled in the error box (nothing for a silent
// cancel). Call only inside a catch block.
void HandleCurrentException() noexcept;

// Runs `handler`; an exception leaving it goes to the error box.
template <class F>
void Guarded(F&& handler) noexcept
{
    try {
        std::forward<F>(handler)();
    } catch (...) {
        HandleCurrentException();
    }
}

// The application object of the program: shows an exception that escapes
// any event's handling in the error box, and goes on with the event loop.
class TApplication : public QApplication {
public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace ov::ui
