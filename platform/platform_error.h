// Errors of the platform services (files written, the registry), each carrying
// the complete message the user sees; the message texts are kept here.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace ov {

enum class PlatformFault {
    CannotCreateFile, // "Cannot create file "%s". %s"
    StreamWrite,      // "Stream write error"
    CreateKey,        // "Failed to create key %s"
    SetData,          // "Failed to set data for '%s'"
};

class PlatformError : public std::runtime_error {
public:
    PlatformError(PlatformFault fault, const std::string& message)
        : std::runtime_error(message), fault_(fault)
    {
    }
    PlatformFault fault() const { return fault_; }

private:
    PlatformFault fault_;
};

std::string CannotCreateFileMessage(std::string_view path, std::string_view reason);
std::string StreamWriteErrorMessage();
std::string FailedToCreateKeyMessage(std::string_view keyPath);
std::string FailedToSetDataMessage(std::string_view valueName);

} // namespace ov
