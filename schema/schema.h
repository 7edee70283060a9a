// Form schema: the catalogue of form titles, each form's ordered field
// descriptors, and the type codes with their hints, defaults and rules.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace ov {

// The reporting year the module is built for; stands in captions, messages,
// the import file prefix and the registry key.
inline constexpr std::string_view kReportingYear = "2021";

inline constexpr int kFormNameCount = 38;
// Form index of the first title offered in the form combo; combo item i is
// form index i + kFirstOfferedForm.
inline constexpr int kFirstOfferedForm = 3;
inline constexpr int kOfferedFormCount = kFormNameCount - kFirstOfferedForm;

// The 38 form titles; a title's position is its form index.
extern const std::array<std::string_view, kFormNameCount> FormNames;

// Appends the field descriptors of form `formIndex` (2 to 37) to `list`, in
// field order. Indexes without a list (0, 1, 38 to 255) append nothing.
// Never fails.
void GetFormFields(unsigned char formIndex, std::vector<std::string>& list);

// Returns the form index whose title equals `title` exactly (letter case
// significant), or -1 when no title matches.
int FindFormIndex(std::string_view title);

// A field descriptor split apart: character 1 is the type code, the rest the label.
struct FieldDescriptor {
    char typeCode;
    std::string_view label;
};
// Splits a descriptor of two or more characters; a shorter text gives code
// '\0' and an empty label.
FieldDescriptor SplitDescriptor(std::string_view descriptor);

// What the verification does with a supplied value of a type code.
enum class TypeRule {
    Keep,          // "$", "o", "h", "p": stored unchanged
    UpperCase,     // "O"
    Currency,      // "C", "c": NormalizeCurrency, then ReadCurrency must succeed
    WholeNumber,   // "w": NormalizeWholeNumber, then ReadInteger must succeed
    Float,         // "#": NormalizeFloat, then ReadDecimal must succeed
    Indicator,     // "I": NormalizeIndicator, result "X" or empty
    RequiredDate,  // "D"
    OptionalDate,  // "d", "b"
    RequiredYear,  // "Y"
    OptionalYear,  // "y"
    Ssn,           // "n"
    Tin,           // "N"
    TinType,       // "T"
    DeliveryPoint, // "u"
    WagerCode,     // "g"
    EventCode,     // "E": no check; stored trimmed and unchanged
};

struct TypeCodeInfo {
    char code;
    std::string_view hint;
    std::string_view defaultValue;
    TypeRule rule;
    std::string_view errorFragment; // empty when the rule never rejects
};

// The 21 type codes.
extern const std::array<TypeCodeInfo, 21> TypeCodes;

// Looks up a type code case-sensitively; returns nullptr for an unknown code.
const TypeCodeInfo* FindTypeCode(char code);

// The hint text of a type code, or empty for an unknown code.
std::string_view TypeHint(char code);

// The default value of a field of that type code when not supplied
// (empty for an unknown code).
std::string_view TypeDefault(char code);

} // namespace ov
