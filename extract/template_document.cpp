#include "extract/template_document.h"

#include "checks/text_primitives.h"

namespace ov {

std::string MakeTemplateKey(const std::vector<TemplateRow>& rows)
{
    std::string key = ZeroPad(3, std::to_string(rows.size()));
    key.reserve(key.size() + rows.size());
    for (const TemplateRow& row : rows)
        key += row.ticked ? '1' : '0';
    return key;
}

std::vector<std::string> MakeTemplateDocument(std::string_view formText,
                                              const std::vector<TemplateRow>& rows,
                                              std::string_view programFileName)
{
    const std::string form(formText);
    std::vector<std::string> doc;
    doc.reserve(37 + rows.size());
    doc.push_back("FORM " + form);
    doc.push_back("KEY " + MakeTemplateKey(rows));
    doc.push_back("{BEGIN DATA}");
    for (const TemplateRow& row : rows)
        if (row.ticked)
            doc.push_back(row.label);
    doc.insert(doc.end(), {
        "{END DATA}",
        "",
        "INSTRUCTIONS FOR CREATING YOUR DATA EXTRACT",
        "===========================================",
        "1. Create a \"new\" text file.",
        "   Name this file as you like (" + form + "_EXTRACT.txt is suggested).",
        "",
        "2. Include the FORM, KEY and {BEGIN DATA} segments.",
        "   These segments must be the first 3 lines of your text file.",
        "   These segments must be included exactly as shown above.",
        "",
        "3. Write recipient records to your file.",
        "   The first recipient must begin immediately after the {BEGIN DATA} segment.",
        "   Field values must be written under one another as shown above.",
        "   Supply only the value of the field; not the field name.",
        "   Do not omit any field values; field values may be left blank.",
        "   Recipient records must follow one another in this manner.",
        "   Do not skip a line between recipient records.",
        "",
        "4. Follow the last recipient record with the {END DATA} segment as shown above.",
        "   Do not skip a line before the {END DATA} segment",
        "",
        "5  Close the text file.",
        "   This is your data extract.",
        "",
        "6. In order to merge your data extract with Orvane, make the following",
        "   call from your application",
        "",
        "   " + std::string(programFileName) + " \"File specification\"",
        "",
        "   where",
        "",
        "   File specification = the fully qualified file name of your data extract.",
        "   This is easily implemented using Windows ShellExecute() function.",
    });
    return doc;
}

} // namespace ov
