// Assembling one import record: the defaults of every field, each supplied
// value tested and normalised by its field's type code, and the comma text.
#pragma once

#include "checks/text_primitives.h"
#include "checks/value_checks.h"
#include "extract/byte_buffer.h"
#include "schema/schema.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ov {

class RecordBuilder {
public:
    // `fields` are the form's descriptors, `keyFlags` one flag per field ("1"
    // = supplied). Both must outlive the builder. Never fails.
    RecordBuilder(const std::vector<std::string>& fields, std::string_view keyFlags,
                  const RegionalSettings& regional, int currentYear);

    // Number of supplied fields (the fields per record).
    std::size_t SuppliedCount() const { return supplied_.size(); }
    // Position (from 0) of the j-th supplied field (j from 0).
    std::size_t SuppliedPosition(std::size_t j) const { return supplied_[j].position; }

    // Starts a record: every field holds its type's default; finds the TIN
    // type field.
    void PrepareRecord();
    // Tests the value line of the j-th supplied field (j from 0), trimmed, by
    // its type code and stores the result; for a TIN also its TIN type.
    // Returns false, storing nothing further, when the rule rejects it. A value
    // that needs no rewriting is not copied: `valueLine` must stay valid until
    // the record's values or import line have been taken.
    bool StoreValue(std::size_t j, std::string_view valueLine)
    {
        // Most values are kept as supplied: stored here, without a call.
        const Field& field = supplied_[j];
        if (field.keptAsSupplied) {
            values_[field.position] = Trimmed(valueLine);
            return true;
        }
        return StoreOtherValue(field, valueLine);
    }
    // The label, type code and message fragment of the j-th supplied field.
    std::string_view Label(std::size_t j) const { return supplied_[j].label; }
    char TypeCode(std::size_t j) const { return supplied_[j].code; }
    std::string_view Fragment(std::size_t j) const;

    // The record's values, one per field of the form; valid until the next call.
    const std::vector<std::string>& RecordValues() const;
    // Position of the form's TIN type field, or -1.
    std::int32_t TinTypeIndex() const { return tinTypeIndex_; }
    // The comma text of the record; valid until the next call.
    std::string_view ImportLine();
    // Appends the comma text of the record and CR LF to `out`.
    void AppendImportLine(ByteBuffer& out) const;

private:
    struct Field {
        std::size_t position;
        char code;
        std::string_view label;
        const TypeCodeInfo* info; // nullptr for a code without a rule
        bool keptAsSupplied;      // stored trimmed and unchanged
    };

    // The value line without leading and trailing characters of codes 0 to
    // 32; most lines have none, and are taken as they are without a call.
    static std::string_view Trimmed(std::string_view line)
    {
        const auto isControlOrBlank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
        if (line.empty() || (!isControlOrBlank(line.front()) && !isControlOrBlank(line.back())))
            return line;
        return TrimControls(line);
    }
    // StoreValue for a field whose value is not simply kept.
    bool StoreOtherValue(const Field& field, std::string_view valueLine);
    // Applies the field's rule to `v`, the trimmed value; false when it rejects it.
    bool Rewrite(const Field& field, std::string& v);

    RegionalSettings regional_;
    int currentYear_;
    // The decimal separator is none of the characters NormalizeCurrency
    // removes: plain amounts are kept as they are.
    bool plainAmountsKept_ = false;
    std::vector<Field> supplied_;
    // Fields that PrepareRecord must reset: the rest are supplied and always
    // overwritten by StoreValue before the record is used.
    std::vector<std::size_t> reset_;
    std::vector<std::string_view> defaults_;
    // The record's values: a default, a value line as supplied (trimmed), or
    // the field's rewritten value in rewritten_.
    std::vector<std::string_view> values_;
    std::vector<std::string> rewritten_;
    mutable std::vector<std::string> copies_; // for RecordValues
    std::int32_t tinTypeIndex_ = -1;
    std::string tinType_;
    std::string line_;
};

} // namespace ov
