// The Data Extract Template: the document that tells a customer's programmer
// how to write a data extract for one form and one choice of fields.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ov {

// One row of the field selection list as the template sees it.
struct TemplateRow {
    std::string label;
    bool ticked = false;
};

// The KEY of a template: the row count as three digits, then "1" for every
// ticked row and "0" for every other, in row order.
std::string MakeTemplateKey(const std::vector<TemplateRow>& rows);

// The template document, one text per line (37 lines plus one per ticked
// row). `formText` is the form as shown in the form combo; `programFileName`
// is the running program's file name without its folder. Never fails.
std::vector<std::string> MakeTemplateDocument(std::string_view formText,
                                              const std::vector<TemplateRow>& rows,
                                              std::string_view programFileName);

} // namespace ov
