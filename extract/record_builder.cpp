#include "extract/record_builder.h"

#include "extract/import_file.h"

#include <algorithm>

namespace ov {

namespace {

bool IsNineDigitsOrEmpty(const std::string& value)
{
    return value.empty() || (value.size() == 9 && IsAllDigits(value));
}

bool IsLowerCase(char c)
{
    return c >= 'a' && c <= 'z';
}

} // namespace

RecordBuilder::RecordBuilder(const std::vector<std::string>& fields, std::string_view keyFlags,
                             const RegionalSettings& regional, int currentYear)
    : regional_(regional), currentYear_(currentYear), values_(fields.size()),
      rewritten_(fields.size())
{
    const std::string_view removedFromAmounts = "$+,-";
    plainAmountsKept_ = removedFromAmounts.find(regional.decimalSeparator) == std::string_view::npos;
    // A flag other than "1" means the field is not supplied.
    for (std::size_t i = 0; i < keyFlags.size() && i < fields.size(); ++i) {
        if (keyFlags[i] != '1')
            continue;
        const FieldDescriptor d = SplitDescriptor(fields[i]);
        const TypeCodeInfo* info = FindTypeCode(d.typeCode);
        // An event code is kept as supplied, like "o".
        const bool kept = info && (info->rule == TypeRule::Keep || info->rule == TypeRule::EventCode);
        supplied_.push_back({i, d.typeCode, d.label, info, kept});
    }
    std::vector<bool> overwritten(fields.size(), false);
    for (const Field& f : supplied_)
        overwritten[f.position] = f.info != nullptr;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const char code = fields[i].empty() ? '\0' : fields[i][0];
        defaults_.push_back(TypeDefault(code));
        if (code == 'T')
            tinTypeIndex_ = static_cast<std::int32_t>(i);
        if (!overwritten[i])
            reset_.push_back(i);
    }
}

std::string_view RecordBuilder::Fragment(std::size_t j) const
{
    const TypeCodeInfo* info = supplied_[j].info;
    return info ? info->errorFragment : std::string_view();
}

void RecordBuilder::PrepareRecord()
{
    // Every field starts at its default; the TIN type field's position was
    // found once, as it is the same for every record of the form.
    for (const std::size_t i : reset_)
        values_[i] = defaults_[i];
}

const std::vector<std::string>& RecordBuilder::RecordValues() const
{
    copies_.assign(values_.begin(), values_.end());
    return copies_;
}

bool RecordBuilder::StoreOtherValue(const Field& field, std::string_view valueLine)
{
    if (!field.info)
        return true; // a code without a rule keeps its default
    const std::string_view trimmed = Trimmed(valueLine);
    std::string_view& stored = values_[field.position];
    // Values these rules would keep as they are, and accept, need no copy: an
    // upper-case "O" value, and a plain amount, in which the currency rule finds
    // nothing to remove unless the separator is one of the removed characters.
    if ((field.info->rule == TypeRule::UpperCase && std::none_of(trimmed.begin(), trimmed.end(), IsLowerCase))
        || (field.info->rule == TypeRule::Currency && plainAmountsKept_
            && ReadPlainAmount(trimmed, regional_.decimalSeparator))) {
        stored = trimmed;
        return true;
    }
    // The other rules rewrite the value in the field's own text.
    std::string& v = rewritten_[field.position];
    v.assign(trimmed);
    const bool accepted = Rewrite(field, v);
    stored = v;
    return accepted;
}

bool RecordBuilder::Rewrite(const Field& field, std::string& v)
{
    switch (field.info->rule) {
    case TypeRule::Keep:
    case TypeRule::EventCode:
        return true;
    case TypeRule::UpperCase:
        for (char& c : v)
            if (IsLowerCase(c))
                c = static_cast<char>(c - 'a' + 'A');
        return true;
    case TypeRule::TinType:
        NormalizeTinType(v);
        return true;
    case TypeRule::Indicator:
        NormalizeIndicator(v);
        return v.empty() || v == "X";
    case TypeRule::Currency:
        NormalizeCurrency(v, field.code);
        return ReadCurrency(v, regional_).has_value();
    case TypeRule::WholeNumber:
        NormalizeWholeNumber(v, regional_);
        return ReadInteger(v).has_value();
    case TypeRule::Float:
        NormalizeFloat(v);
        return ReadDecimal(v, regional_).has_value();
    case TypeRule::Ssn:
        NormalizeSsn(v);
        return IsNineDigitsOrEmpty(v);
    case TypeRule::Tin:
        NormalizeTin(v, tinType_);
        if (!IsNineDigitsOrEmpty(v))
            return false;
        if (!tinType_.empty() && tinTypeIndex_ != -1) {
            const auto t = static_cast<std::size_t>(tinTypeIndex_);
            rewritten_[t] = tinType_;
            values_[t] = rewritten_[t];
        }
        return true;
    case TypeRule::RequiredYear:
        NormalizeYear(v);
        return !v.empty();
    case TypeRule::OptionalYear:
        NormalizeYear(v);
        return true;
    case TypeRule::RequiredDate:
        NormalizeDate(v, regional_, currentYear_);
        return !v.empty();
    case TypeRule::OptionalDate:
        NormalizeDate(v, regional_, currentYear_);
        return true;
    case TypeRule::DeliveryPoint: {
        if (v.empty())
            return true;
        const auto n = ReadInteger(v);
        if (!n || *n < 0 || *n > 99)
            return false;
        v = ZeroPad(2, std::to_string(*n));
        return true;
    }
    case TypeRule::WagerCode:
        return v.size() == 1 && v[0] >= '1' && v[0] <= '9';
    }
    return true;
}

std::string_view RecordBuilder::ImportLine()
{
    line_.clear();
    AppendCommaText(line_, values_);
    return line_;
}

void RecordBuilder::AppendImportLine(ByteBuffer& out) const
{
    char* end = WriteCommaText(out.Reserve(CommaTextBound(values_) + 2), values_);
    *end++ = '\r';
    *end++ = '\n';
    out.Commit(end);
}

} // namespace ov
