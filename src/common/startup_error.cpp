#include "common/startup_error.h"

#include "common/text.h"

StartupError::StartupError(std::wstring message)
    : std::runtime_error(toUtf8(message)), message_(std::move(message)) {}

StartupError::StartupError(const std::wstring& message, const char* detail)
    : StartupError(detail && *detail ? message + L"\n\n" + fromUtf8(detail) : message) {}

std::wstring describeException(const std::exception& error) {
    if (const auto* startup = dynamic_cast<const StartupError*>(&error))
        return startup->message();
    return L"Ardeno Time stopped because of an unexpected error:\n\n" + fromUtf8(error.what()) +
           L"\n\nNothing more was written to its files.";
}
