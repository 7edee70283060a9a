#include "platform/platform_error.h"

namespace ov {

std::string CannotCreateFileMessage(std::string_view path, std::string_view reason)
{
    return "Cannot create file \"" + std::string(path) + "\". " + std::string(reason);
}

std::string StreamWriteErrorMessage()
{
    return "Stream write error";
}

std::string FailedToCreateKeyMessage(std::string_view keyPath)
{
    return "Failed to create key " + std::string(keyPath);
}

std::string FailedToSetDataMessage(std::string_view valueName)
{
    return "Failed to set data for '" + std::string(valueName) + "'";
}

} // namespace ov
