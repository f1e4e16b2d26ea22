#pragma once

#include <stdexcept>
#include <string>

// A failure that stops the program with a message to the user. The message is wide so that
// it can name paths in any script; what() carries the same text in UTF-8.
class StartupError : public std::runtime_error {
public:
    explicit StartupError(std::wstring message);
    // `detail` is a UTF-8 text from a library (SDL_GetError), appended on its own line.
    StartupError(const std::wstring& message, const char* detail);

    const std::wstring& message() const { return message_; }

private:
    std::wstring message_;
};

// The text shown to the user for any exception that reaches the entry point.
std::wstring describeException(const std::exception& error);
