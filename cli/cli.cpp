#include "cli/cli.h"

#include "checks/text_primitives.h"
#include "cli/extract_commands.h"
#include "extract/template_document.h"
#include "platform/regional_settings.h"
#include "platform/registry_store.h"
#include "schema/schema.h"

#include <CLI/CLI.hpp>

#include <ctime>
#include <ostream>
#include <set>

#ifndef OV_VERSION
#define OV_VERSION "0"
#endif

namespace ov {

namespace {

// Reported as a one-line reason with exit status 2.
struct UsageError {
    std::string reason;
};

int LocalYear()
{
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
#ifdef _WIN32
    localtime_s(&parts, &now);
#else
    localtime_r(&now, &parts);
#endif
    return parts.tm_year + 1900;
}

// The form index of an offered title, letter case ignored.
int OfferedFormIndex(const std::string& form)
{
    for (int i = kFirstOfferedForm; i < kFormNameCount; ++i)
        if (EqualsIgnoringCase(form, FormNames[static_cast<std::size_t>(i)]))
            return i;
    throw UsageError{"unknown form \"" + form + "\"; `ovdm forms` lists the forms"};
}

std::vector<std::string> FormFields(int index)
{
    std::vector<std::string> fields;
    GetFormFields(static_cast<unsigned char>(index), fields);
    return fields;
}

void ListForms(std::ostream& out)
{
    for (int i = kFirstOfferedForm; i < kFormNameCount; ++i)
        out << FormNames[static_cast<std::size_t>(i)] << '\t' << FormFields(i).size() << '\n';
}

void ListFields(const std::string& form, std::ostream& out)
{
    const auto fields = FormFields(OfferedFormIndex(form));
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const FieldDescriptor d = SplitDescriptor(fields[i]);
        out << i + 1 << '\t' << d.typeCode << '\t' << d.label << '\n';
    }
}

void PrintTemplate(const std::string& form, const std::vector<long long>& positions, std::ostream& out)
{
    const int index = OfferedFormIndex(form);
    const auto fields = FormFields(index);
    std::vector<TemplateRow> rows;
    for (const std::string& descriptor : fields)
        rows.push_back({std::string(SplitDescriptor(descriptor).label), false});
    for (const long long p : positions) {
        if (p < 1 || p > static_cast<long long>(rows.size()))
            throw UsageError{"position " + std::to_string(p) + " is outside form "
                             + std::string(FormNames[static_cast<std::size_t>(index)]) + " (1 to "
                             + std::to_string(rows.size()) + ")"};
        rows[static_cast<std::size_t>(p - 1)].ticked = true;
    }
    for (const std::string& line :
         MakeTemplateDocument(FormNames[static_cast<std::size_t>(index)], rows, "OV2021DM"))
        out << line << '\n';
}

// CLI11's own wording, kept to its first line.
std::string FirstLine(const std::string& text)
{
    return text.substr(0, text.find('\n'));
}

} // namespace

CliEnvironment SystemCliEnvironment()
{
    CliEnvironment env;
    env.settings.regional = ReadRegionalSettings();
    env.settings.currentYear = LocalYear();
    return env;
}

int RunCli(int argc, const char* const argv[], std::ostream& out, std::ostream& err, const CliEnvironment& env)
{
    CLI::App app{"Orvane Data Merge Module " + std::string(kReportingYear)
                 + ": data extract templates, and verification and conversion of data extracts.",
                 "ovdm"};
    app.set_version_flag("--version", "ovdm " OV_VERSION);
    app.require_subcommand(1);
    app.footer("Exit status: 0 success, 1 a failed check, 2 a usage error or an extract that cannot be read,\n"
               "3 the import file or the registry value not written.\n"
               "A path that begins with \"-\" follows \"--\": ovdm convert -- -extract.txt");

    app.add_subcommand("forms", "List the offered forms: title, a tab, field count.");

    std::string fieldsForm;
    CLI::App* fields = app.add_subcommand("fields", "List a form's fields: position, type code, label (tab-separated).");
    fields->add_option("FORM", fieldsForm, "Form title, in any letter case")->required();

    std::string templateForm;
    std::vector<long long> positions;
    CLI::App* templ = app.add_subcommand("template", "Print the Data Extract Template of a form.");
    templ->add_option("FORM", templateForm, "Form title, in any letter case")->required();
    templ->add_option("POSITION", positions, "Positions (from 1) of the fields the extract supplies");

    ExtractCommandOptions convertOptions;
    convertOptions.convert = true;
    CLI::App* convert = app.add_subcommand(
        "convert", "Verify a data extract and write its import file beside it; record its folder for Orvane.");
    convert->add_option("EXTRACT", convertOptions.extractFile, "The data extract file")->required();
    convert->add_flag("--json", convertOptions.json,
                      "Print one JSON object (texts that are not UTF-8 are read byte for byte as ISO 8859-1)");

    ExtractCommandOptions checkOptions;
    CLI::App* check = app.add_subcommand("check", "Verify a data extract; write nothing.");
    check->add_option("EXTRACT", checkOptions.extractFile, "The data extract file")->required();
    check->add_flag("--all", checkOptions.allFaults, "Go on past bad values and report every one");
    check->add_flag("--json", checkOptions.json,
                    "Print one JSON object (texts that are not UTF-8 are read byte for byte as ISO 8859-1)");

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return 0;
    } catch (const CLI::CallForAllHelp&) {
        out << app.help("", CLI::AppFormatMode::All);
        return 0;
    } catch (const CLI::CallForVersion& e) {
        out << e.what() << '\n';
        return 0;
    } catch (const CLI::ParseError& e) {
        err << "ovdm: " << FirstLine(e.what()) << '\n';
        return 2;
    }

    try {
        if (app.got_subcommand("forms"))
            ListForms(out);
        else if (fields->parsed())
            ListFields(fieldsForm, out);
        else if (templ->parsed())
            PrintTemplate(templateForm, positions, out);
        else if (convert->parsed())
            return RunExtractCommand(convertOptions, out, err, env);
        else if (check->parsed())
            return RunExtractCommand(checkOptions, out, err, env);
    } catch (const UsageError& e) {
        err << "ovdm: " << e.reason << '\n';
        return 2;
    }
    out.flush();
    return out ? 0 : 3;
}

} // namespace ov
