// The error that ends a verification run: its what() is the complete message
// the user sees; the fault kind and, for a bad value, the details say what
// failed so that callers can report it in their own format.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

namespace ov {

enum class ExtractFault {
    CannotOpen,         // the extract file cannot be opened or its start not read
    ReadError,          // reading the extract failed part-way
    FormNotFound,       // M1: line 1 does not begin with "FORM "
    FormUnknown,        // M2: the title in line 1 names no offered form
    KeyNotFound,        // M3: line 2 does not begin with "KEY "
    BadKey,             // M4: line 2 shorter than 7 characters
    KeyChecksum,        // M5: the count does not match the flags behind it
    KeyFormChecksum,    // M6: the flags do not match the form's field count
    BeginNotFound,      // M7
    EndNotFound,        // M8
    EndBeforeBegin,     // M9
    NoFieldsSelected,   // M10
    FieldAllocation,    // M11
    BadValue,           // M12
};

// Where a rejected value stands and what it is.
struct ValueFault {
    std::uint64_t record = 0;     // from 1
    int field = 0;                // place among the record's supplied fields, from 1
    int position = 0;             // the field's position in the form, from 1
    std::string label;
    char typeCode = '\0';
    std::string value;            // the extract's line as it stands, untrimmed
    std::uint64_t lineNumber = 0; // line of the extract file, from 1
};

class ExtractError : public std::runtime_error {
public:
    ExtractError(ExtractFault fault, const std::string& message,
                 std::optional<ValueFault> valueFault = std::nullopt)
        : std::runtime_error(message), fault_(fault), valueFault_(std::move(valueFault))
    {
    }

    ExtractFault fault() const { return fault_; }
    // Set for BadValue only.
    const std::optional<ValueFault>& valueFault() const { return valueFault_; }

private:
    ExtractFault fault_;
    std::optional<ValueFault> valueFault_;
};

} // namespace ov
