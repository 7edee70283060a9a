#include "schema/schema.h"

#include <initializer_list>
#include <span>

namespace ov {

const std::array<std::string_view, kFormNameCount> FormNames = {
    "Clients", "Sponsors", "ALE Group",                                          // 0-2
    "1094", "1095-B", "1095-B CI", "1095-C", "1095-C CI",                        // 3-7
    "1098", "1098-C", "1098-E", "1098-F", "1098-T",                              // 8-12
    "1099-A", "1099-B", "1099-C", "1099-CAP", "1099-DIV", "1099-G", "1099-INT",  // 13-19
    "1099-K", "1099-LTC", "1099-MISC", "1099-NEC", "1099-OID",                   // 20-24
    "1099-PATR", "1099-Q", "1099-R", "1099-S", "1099-SA",                        // 25-29
    "3921", "3922", "5498", "5498-ESA", "5498-SA",                               // 30-34
    "W-2", "W-2C", "W-2G",                                                       // 35-37
};

const std::array<TypeCodeInfo, 21> TypeCodes = {{
    {'$', "STRING DATA - No special formatting required", "", TypeRule::Keep, ""},
    {'C', "CURRENCY - Negative amounts reflect losses", "0.00", TypeRule::Currency,
     "to an invalid currency value "},
    {'c', "CURRENCY - Cannot be negative", "0.00", TypeRule::Currency,
     "to an invalid currency value "},
    {'w', "WHOLE NUMBER (no decimals, no negative signs)", "0", TypeRule::WholeNumber,
     "to an invalid whole number value "},
    {'#', "FLOATING POINT NUMBER (can contain a decimal)", "0.00", TypeRule::Float,
     "to an invalid floating point value "},
    {'I', "INDICATOR: { Y, YES, T, TRUE, 1 }=TRUE, { N, NO, F, FALSE, 0 }=FALSE", "",
     TypeRule::Indicator, "to an invalid indicator value "},
    {'D', "DATE - Required (Format as MM/DD/YY, MM/DD/YYYY, MMDDYY, MMDDYYYY)", "",
     TypeRule::RequiredDate, "to an invalid (required) date "},
    {'d', "DATE - Not Required (Format as MM/DD/YY, MM/DD/YYYY, MMDDYY, MMDDYYYY)", "",
     TypeRule::OptionalDate, ""},
    {'b', "Date of Birth - (Format as MM/DD/YY, MM/DD/YYYY, MMDDYY, MMDDYYYY)", "",
     TypeRule::OptionalDate, ""},
    {'Y', "2-DIGIT (YY) OR 4-DIGIT YEAR (YYYY) - Required", "", TypeRule::RequiredYear,
     "to an invalid (required) year "},
    {'y', "2-DIGIT (YY) OR 4-DIGIT YEAR (YYYY) - Not Required", "", TypeRule::OptionalYear, ""},
    {'n', "SOCIAL SECURITY NUMBER - Enter as 9 digits or XXX-XX-XXXX", "", TypeRule::Ssn,
     "to an invalid SSN "},
    {'N', "TAXPAYER ID NUMBER - Enter as 9 digits, XX-XXXXXX, or XXX-XX-XXXX", "", TypeRule::Tin,
     "to an invalid TIN "},
    {'T',
     "TIN TYPE: { 1, EIN }=Employer ID, { 2, SSN }=Social Security, { Blank, N/A }=Not available",
     "N/A", TypeRule::TinType, ""},
    {'u', "USPS DELIVERY POINT - Enter as 2 digits (00-99)", "", TypeRule::DeliveryPoint,
     "to an invalid USPS Delivery Point "},
    {'O', "REQUIRED - Origin of Health Coverage Code (A-G)", "", TypeRule::UpperCase, ""},
    {'o', "Offer of Coverage Code (1A - 1S)", "", TypeRule::Keep, ""},
    {'h', "Sec 4980H Safe Harbor Code (2A - 2I)", "", TypeRule::Keep, ""},
    {'p', "2-digit month (01-12), or 00 = No Plan", "", TypeRule::Keep, ""},
    {'g', "1=Horses, 2=Dogs, 3=Jai-alai, 4=Lottery, 5=Keno, 6=Bingo, 7=Slots, 8=Poker, 9=Other",
     "", TypeRule::WagerCode, "to an invalid code "},
    {'E', "Identifiable Event Code -- Refer to Instructions for Form 1099-C", "",
     TypeRule::EventCode, ""},
}};

const TypeCodeInfo* FindTypeCode(char code) {
    for (const TypeCodeInfo& info : TypeCodes) {
        if (info.code == code) return &info;
    }
    return nullptr;
}

std::string_view TypeHint(char code) {
    const TypeCodeInfo* info = FindTypeCode(code);
    return info ? info->hint : std::string_view();
}

std::string_view TypeDefault(char code) {
    const TypeCodeInfo* info = FindTypeCode(code);
    return info ? info->defaultValue : std::string_view();
}

int FindFormIndex(std::string_view title) {
    for (int i = 0; i < kFormNameCount; ++i) {
        if (FormNames[i] == title) return i;
    }
    return -1;
}

FieldDescriptor SplitDescriptor(std::string_view descriptor) {
    if (descriptor.size() < 2) return {'\0', {}};
    return {descriptor[0], descriptor.substr(1)};
}

namespace {

using Descriptors = std::initializer_list<std::string_view>;

// One piece of a period rule: the descriptor is code + period + suffix.
struct PeriodPiece {
    std::string_view code;
    std::string_view suffix;
};
using PeriodPieces = std::initializer_list<PeriodPiece>;

constexpr std::array<std::string_view, 12> kMonths = {
    "JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

// Appends descriptors, shared blocks and rule-built runs to a field list.
class FieldListWriter {
public:
    explicit FieldListWriter(std::vector<std::string>& list) : list_(list) {}

    void Add(Descriptors descriptors) {
        Add(std::span<const std::string_view>(descriptors.begin(), descriptors.size()));
    }

    void Add(std::span<const std::string_view> descriptors) {
        for (std::string_view d : descriptors) list_.emplace_back(d);
    }

    void AddressBlock() {
        Add({"$Name line 1",
             "$Name line 2",
             "$Street address line 1",
             "$Street address line 2",
             "$City",
             "$State",
             "$Zip code"});
    }

    void PayeeBlock() {
        AddressBlock();
        Add({"uUSPS Delivery Point",
             "IForeign address indicator",
             "$Foreign city, province, postal code",
             "TTIN Type",
             "NTaxpayer id",
             "$Name control"});
    }

    void ClosingBlock() {
        Add({"IDo not print indicator",
             "$E-Mail address",
             "$Client ID"});
    }

    // For the period `first` and then each month in turn, all pieces in order.
    void FirstPeriodThenMonths(std::string_view first, PeriodPieces pieces) {
        AddPeriod(first, pieces);
        Months(pieces);
    }

    // For each month in turn, all pieces in order.
    void Months(PeriodPieces pieces) {
        for (std::string_view month : kMonths) AddPeriod(month, pieces);
    }

    // Each descriptor with its word `from` replaced by `to`.
    void AddReplacing(std::span<const std::string_view> descriptors, std::string_view from,
                      std::string_view to) {
        for (std::string_view d : descriptors) {
            std::string text(d);
            if (std::size_t at = text.find(from); at != std::string::npos) {
                text.replace(at, from.size(), to);
            }
            list_.push_back(std::move(text));
        }
    }

private:
    void AddPeriod(std::string_view period, PeriodPieces pieces) {
        for (const PeriodPiece& piece : pieces) {
            std::string text;
            text.reserve(piece.code.size() + period.size() + piece.suffix.size());
            text.append(piece.code).append(period).append(piece.suffix);
            list_.push_back(std::move(text));
        }
    }

    std::vector<std::string>& list_;
};

// --- Health coverage forms ---------------------------------------------------

void AleGroupFields(FieldListWriter& w) {
    w.Add({"$Client ID",
           "$Name line 1",
           "$Name line 2",
           "nEmployer id",
           "$Name control",
           "wAverage employee count"});
}

void Form1094Fields(FieldListWriter& w) {
    w.Add({"$Client ID",
           "IDesignated gov entity indicator",
           "IAuthoritative transmittal indicator",
           "wTotal forms filed by ALE member",
           "IMember of ALE group indicator",
           "IQualifying Offer Method indicator",
           "I98% Offer Method indicator"});
    w.FirstPeriodThenMonths("All 12 Months", {{"I", " Column (a) (Yes)"},
                                              {"I", " Column (a) (No)"},
                                              {"w", " Column (b)"},
                                              {"w", " Column (c)"},
                                              {"I", " Column (d)"}});
}

void Form1095BFields(FieldListWriter& w) {
    w.Add({"$Import ID",
           "$File (Control) number",
           "$First name",
           "$Middle initial",
           "$Last name",
           "$Suffix",
           "$Name control",
           "nSocial security number",
           "bDate of birth",
           "$Street address line 1",
           "$Street address line 2",
           "$City",
           "$State",
           "$Zip code",
           "$Zip code extension",
           "uUSPS Delivery Point",
           "IForeign address indicator",
           "$Foreign city",
           "$Foreign state or province",
           "$Foreign postal code",
           "$Foreign country code",
           "OOrigin of Health Coverage Code",
           "$Sponsor ID"});
    w.FirstPeriodThenMonths("JAN-DEC", {{"I", " coverage"}});
    w.ClosingBlock();
}

// 1095-B CI and 1095-C CI share this list.
void CoveredIndividualFields(FieldListWriter& w) {
    w.Add({"$Import ID",
           "$First name",
           "$Middle initial",
           "$Last name",
           "$Suffix",
           "$Name control",
           "nSocial security number",
           "bDate of birth"});
    w.FirstPeriodThenMonths("JAN-DEC", {{"I", " coverage"}});
    w.Add({"$Client ID"});
}

void Form1095CFields(FieldListWriter& w) {
    w.Add({"$Import ID",
           "$File (Control) number",
           "$Employee ID",
           "$First name",
           "$Middle initial",
           "$Last name",
           "$Suffix",
           "$Name control",
           "nSocial security number",
           "$Street address line 1",
           "$Street address line 2",
           "$City",
           "$State",
           "$Zip code",
           "$Zip code extension",
           "uUSPS Delivery Point",
           "IForeign address indicator",
           "$Foreign city",
           "$Foreign state or province",
           "$Foreign postal code",
           "$Foreign country code",
           "$Age on Jan 1",
           "pPlan Start Month",
           "ISelf-insured coverage indicator"});
    w.FirstPeriodThenMonths("JAN-DEC", {{"o", " coverage code"},
                                        {"c", " employee share"},
                                        {"h", " safe harbor code"},
                                        {"$", " applicable Zip code"}});
    w.ClosingBlock();
}

// --- 1098 forms ----------------------------------------------------------------

void Form1098Fields(FieldListWriter& w) {
    w.AddressBlock();
    w.Add({"uUSPS Delivery Point",
           "IForeign address indicator",
           "$Foreign city, province, postal code",
           "$Apartment number",
           "TTIN Type",
           "NTaxpayer id",
           "$Name control",
           "$Account number",
           "dOccupancy date (from)",
           "dOccupancy date (to)",
           "#Payer shares",
           "#Payer percentage of maintenance paid",
           "cReal estate taxes",
           "cAmortization",
           "cCapital reserve fund",
           "cBox 1 - Mortgage interest received from payer",
           "cBox 2 - Outstanding mortgage principal as of 1/1/2021",
           "dBox 3 - Mortgage origination date",
           "cBox 4 - Refund of overpaid interest",
           "cBox 5 - Mortgage insurance premiums",
           "cBox 6 - Points paid on purchase of principal residence",
           "IBox 7 - Property securing mortgage indicator",
           "$Box 8 - Address of property securing mortgage line 1",
           "$Box 8 - Address of property securing mortgage line 2",
           "$Box 8 - Address of property securing mortgage line 3",
           "$Box 8 - Address of property securing mortgage line 4",
           "$Box 8 - Address of property securing mortgage line 5",
           "wBox 9 - Number of properties securing the mortgage",
           "$Box 10 - Other line 1",
           "$Box 10 - Other line 2",
           "dBox 11 - Mortgage acquisition date"});
    w.ClosingBlock();
}

void Form1098CFields(FieldListWriter& w) {
    w.PayeeBlock();
    w.Add({"DDate of contribution",
           "$Odometer mileage",
           "$Year",
           "$Make",
           "$Model",
           "$Vehicle ID number",
           "IBox 4a - Transaction indicator",
           "dBox 4b - Date of sale",
           "cBox 4c - Gross proceeds",
           "IBox 5a - Transfer after improvements indicator",
           "IBox 5b - Transfer below FMV indicator",
           "$Box 5c - Description of improvements",
           "IBox 6a - Goods or services indicator",
           "cBox 6b - Value of goods and services",
           "IBox 6c - Intangible religious benefits indicator",
           "$Box 6c - Description of goods and services",
           "IBox 7 - Deduction $500 or less indicator",
           "IDo not print indicator",
           "$Client ID"});
}

void Form1098EFields(FieldListWriter& w) {
    w.PayeeBlock();
    w.Add({"$Account number",
           "cBox 1 - Student loan interest received",
           "IBox 2 - Loan origination fees indicator"});
    w.ClosingBlock();
}

void Form1098FFields(FieldListWriter& w) {
    w.PayeeBlock();
    w.Add({"cTotal amount required to be paid",
           "cRestitution amount",
           "cCompliance amount",
           "DDate of order",
           "$Jurisdiction",
           "$Case number",
           "$Name or description of matter",
           "$Code"});
    w.ClosingBlock();
}

void Form1098TFields(FieldListWriter& w) {
    w.AddressBlock();
    w.Add({"uUSPS Delivery Point",
           "IForeign address indicator",
           "$Foreign city, province, postal code",
           "TTIN Type",
           "NTaxpayer id",
           "IStudent TIN Indicator",
           "$Name control",
           "$Service Provider (Account)",
           "cBox 1 - Payments received",
           "cBox 4 - Prior year adjustments",
           "cBox 5 - Scholarships or grants",
           "cBox 6 - Adjustments to scholarships or grants",
           "IBox 7 - Academic period indicator",
           "IBox 8 - Half-time student indicator",
           "IBox 9 - Graduate student indicator",
           "cBox 10 - Reimbursements/Refunds"});
    w.ClosingBlock();
}

// --- 1099 forms, 1099-A to 1099-INT -----------------------------------------------

void Form1099AFields(FieldListWriter& w) {
    w.PayeeBlock();
    w.Add({"$Account number",
           "DDate of lender's acquisition",
           "IBox 5 - Liability indicator",
           "$Description of property line 1",
           "$Description of property line 2",
           "cBalance of principal outstanding",
           "cFMV of property"});
    w.ClosingBlock();
}

void Form1099BFields(FieldListWriter& w) {
    w.PayeeBlock();
    w.Add({"$Account number",
           "$CFSP Reporting State",
           "I2nd TIN indicator",
           "$CUSIP number",
           "IFATCA filing requirement indicator",
           "$Form 8949 checkbox",
           "$Description of property",
           "dDate acquired",
           "dDate sold or disposed",
           "CProceeds",
           "cCost or other basis",
           "cAccrued market discount",
           "cWash sale loss disallowed",
           "IShort-term indicator",
           "ILong-term indicator",
           "IOrdinary indicator",
           "IProceeds from Collectibles indicator",
           "IProceeds from QOF indicator",
           "cFederal income tax withheld",
           "INoncovered security indicator",
           "IGross proceeds indicator",
           "INet proceeds indicator",
           "ILoss not allowed indicator",
           "CP/L realized in 2021",
           "CUnrealized P/L - 12/31/2020",
           "CUnrealized P/L - 12/31/2021",
           "CAggregate P/L",
           "IBasis reported to IRS indicator",
           "cBartering",
           "$State 1",
           "cState 1 tax withheld",
           "$State 2",
           "cState 2 tax withheld"});
    w.ClosingBlock();
}

void Form1099CFields(FieldListWriter& w) {
    w.PayeeBlock();
    w.Add({"$Account number",
           "DEvent Date",
           "cAmount of debt discharged",
           "cInterest",
           "$Description line 1",
           "$Description line 2",
           "$Description line 3",
           "IPersonally liable indicator",
           "EEvent Code",
           "cFMV of property"});
    w.ClosingBlock();
}

void Form1099CapFields(FieldListWriter& w) {
    w.PayeeBlock();
    w.Add({"$Account number",
           "DDate of sale or exchange",
           "cAggregate amount received",
           "wNumber of shares exchanged",
           "$Classes of stock exchanged"});
    w.ClosingBlock();
}

void Form1099DivFields(FieldListWriter& w) {
    w.PayeeBlock();
    w.Add({"$Account number",
           "$CFSP Reporting State",
           "I2nd TIN indicator",
           "IFATCA filing requirement indicator",
           "cTotal ordinary dividends",
           "cQualified dividends",
           "cTotal capital gain distributions",
           "cUnrecaptured Section 1250 gain",
           "cSection 1202 gain",
           "cCollectibles (28%) gain",
           "cSection 897 ordinary dividends",
           "cSection 897 capital gain",
           "cNondividend distributions",
           "cFederal income tax withheld",
           "cSection 199A dividends",
           "cInvestment expenses",
           "cForeign tax paid",
           "$Foreign country or US possession",
           "cCash liquidation distributions",
           "cNoncash liquidation distributions",
           "cExempt-interest dividends",
           "cSpecified private activity bond interest dividends",
           "$State 1",
           "cState 1 tax withheld",
           "$State 2",
           "cState 2 tax withheld"});
    w.ClosingBlock();
}

void Form1099GFields(FieldListWriter& w) {
    w.PayeeBlock();
    w.Add({"$Account number",
           "$CFSP Reporting State",
           "I2nd TIN indicator",
           "cUnemployment compensation",
           "cState or local income tax refunds or credits",
           "$Tax year for which refunds or credits were issued",
           "cFederal income tax withheld",
           "cRTAA payments",
           "cTaxable grants",
           "cAgriculture payments",
           "ITrade or business income indicator",
           "cMarket gain",
           "$State 1",
           "cState 1 tax withheld",
           "$State 2",
           "cState 2 tax withheld"});
    w.ClosingBlock();
}

void Form1099IntFields(FieldListWriter& w) {
    w.PayeeBlock();
    w.Add({"$Account number",
           "$CFSP Reporting State",
           "I2nd TIN indicator",
           "IFATCA filing requirement indicator",
           "cInterest income",
           "cEarly withdrawal penalty",
           "cInterest on US Savings Bonds and Treasury obligations",
           "cFederal income tax withheld",
           "cInvestment expenses",
           "cForeign tax paid",
           "$Foreign country or US possession",
           "cTax-exempt interest",
           "cSpecified private activity bond interest",
           "cMarket discount",
           "cBond premium",
           "cBond premium on Treasury obligations",
           "cBond premium on tax-exempt bond",
           "$Tax-exempt bond CUSIP number",
           "$State 1",
           "cState 1 tax withheld",
           "$State 2",
           "cState 2 tax withheld"});
    w.ClosingBlock();
}

// --- 1099 forms, 1099-K to 1099-SA ------------------------------------------------

void Form1099KFields(FieldListWriter& w) {
    w.PayeeBlock();
    w.Add({"$Account number",
           "$CFSP Reporting State",
           "I2nd TIN indicator",
           "$PSE name",
           "$PSE phone (XXX-XXX-XXXX)",
           "IPayment card transactions indicator",
           "IThird party network transactions indicator",
           "$Merchant category code",
           "wNumber of payment transactions",
           "cGross amount",
           "cCard not present transactions"});
    w.Months({{"c", " payments"}});
    w.Add({"cFederal income tax withheld",
           "$State 1",
           "cState 1 tax withheld",
           "$State 2",
           "cState 2 tax withheld"});
    w.ClosingBlock();
}

void Form1099LtcFields(FieldListWriter& w) {
    w.Add({"$Policyholder's name line 1",
           "$Policyholder's name line 2",
           "$Policyholder's street address line 1",
           "$Policyholder's street address line 2",
           "$Policyholder's city",
           "$Policyholder's state",
           "$Policyholder's Zip code",
           "uUSPS Delivery Point",
           "IForeign address indicator",
           "$Policyholder's foreign city, province, postal code, etc.",
           "TPolicyholder's TIN Type",
           "NPolicyholder's taxpayer ID",
           "$Name control",
           "$Account number",
           "cGross long-term care benefits",
           "cAccelerated death benefits",
           "$Type of payment (1=Per diem, 2=Reimbursed)",
           "IQualified contract indicator",
           "nInsured's taxpayer ID",
           "$Insured's name line 1",
           "$Insured's name line 2",
           "$Insured's street address line 1",
           "$Insured's street address line 2",
           "$Insured's city",
           "$Insured's state",
           "$Insured's Zip code",
           "$Insured's foreign city, province, postal code, etc.",
           "$Illness indicator (1=Chronic, 2=Terminal)",
           "dDate certified"});
    w.ClosingBlock();
}

void Form1099MiscFields(FieldListWriter& w) {
    w.PayeeBlock();
    w.Add({"$Account number",
           "$CFSP Reporting State",
           "I2nd TIN indicator",
           "IFATCA filing requirement indicator",
           "cRents",
           "cRoyalties",
           "cOther income",
           "cFederal income tax withheld",
           "cFishing boat proceeds",
           "cMedical and health care",
           "IDirect sales indicator",
           "cSubstitute payments",
           "cCrop insurance proceeds",
           "cGross proceeds paid to an attorney",
           "cFish purchased for resale",
           "cSection 409A deferrals",
           "cExcessive golden parachute payments",
           "cNonqualified deferred compensation",
           "$State 1",
           "cState 1 income",
           "cState 1 tax withheld",
           "$State 2",
           "cState 2 income",
           "cState 2 tax withheld"});
    w.ClosingBlock();
}

void Form1099NecFields(FieldListWriter& w) {
    w.PayeeBlock();
    w.Add({"$Account number",
           "$CFSP Reporting State",
           "I2nd TIN indicator",
           "cNonemployee compensation",
           "IDirect sales indicator",
           "cFederal income tax withheld",
           "$State 1",
           "cState 1 income",
           "cState 1 tax withheld",
           "$State 2",
           "cState 2 income",
           "cState 2 tax withheld"});
    w.ClosingBlock();
}

void Form1099OidFields(FieldListWriter& w) {
    w.PayeeBlock();
    w.Add({"$Account number",
           "$CFSP Reporting State",
           "$Description line 1",
           "$Description line 2",
           "I2nd TIN indicator",
           "IFATCA filing requirement indicator",
           "cOID for 2021",
           "cOther periodic interest",
           "cEarly withdrawal penalty",
           "cFederal income tax withheld",
           "cMarket discount",
           "cAcquisition premium",
           "COID on US Treasury obligations",
           "cInvestment expenses",
           "cBond premium",
           "cTax-exempt OID",
           "$State 1",
           "cState 1 tax withheld",
           "$State 2",
           "cState 2 tax withheld"});
    w.ClosingBlock();
}

void Form1099PatrFields(FieldListWriter& w) {
    w.PayeeBlock();
    w.Add({"$Account number",
           "$CFSP Reporting State",
           "I2nd TIN indicator",
           "cPatronage dividends",
           "cNonpatronage distributions",
           "cPer-unit retain allocations",
           "cFederal income tax withheld",
           "cRedeemed nonqualified notices",
           "cSection 199A(g) deduction",
           "cQualified payments",
           "cQualified items",
           "cSSTB items",
           "cInvestment credit",
           "cWork opportunity credit",
           "cBox 12 amount",
           "$Box 12 type",
           "ISpecified Coop indicator"});
    w.ClosingBlock();
}

void Form1099QFields(FieldListWriter& w) {
    w.PayeeBlock();
    w.Add({"$Account number",
           "cBox 1 - Gross distribution",
           "CBox 2 - Earnings",
           "cBox 3 - Basis",
           "IBox 4 - Trustee-to-trustee transfer indicator",
           "IBox 5 - Private indicator",
           "IBox 5 - State indicator",
           "IBox 5 - Coverdell ESA indicator",
           "IBox 6 - Recipient is NOT the designated beneficiary indicator",
           "cFMV of the Coverdell ESA as of 12/31/2021",
           "$Distribution code"});
    w.ClosingBlock();
}

void Form1099RFields(FieldListWriter& w) {
    w.PayeeBlock();
    w.Add({"$Account number",
           "dDate of payment",
           "$CFSP Reporting State",
           "IIRA/SEP/SIMPLE indicator",
           "$Distribution code",
           "ITaxable amount not determined indicator",
           "ITotal distribution indicator",
           "cGross distribution",
           "cTaxable amount",
           "cCapital gain",
           "cFederal income tax withheld",
           "cEmployee contributions",
           "cNet unrealized appreciation",
           "cOther amount",
           "#Other %",
           "#Your percentage of total distribution",
           "cTotal employee contributions",
           "cAmount allocable to IRR within 5 years",
           "yFirst year of designated Roth contribution",
           "IFATCA filing requirement indicator",
           "$State 1",
           "cState 1 tax withheld",
           "cState 1 distribution",
           "cLocality 1 tax withheld",
           "cLocality 1 distribution",
           "$Name of locality 1",
           "$State 2",
           "cState 2 tax withheld",
           "cState 2 distribution",
           "cLocality 2 tax withheld",
           "cLocality 2 distribution",
           "$Name of locality 2"});
    w.ClosingBlock();
}

void Form1099SFields(FieldListWriter& w) {
    w.PayeeBlock();
    w.Add({"$Account number",
           "DClosing date",
           "IProperty or services indicator",
           "$Description of property line 1",
           "$Description of property line 2",
           "$Description of property line 3",
           "$Description of property line 4",
           "cGross proceeds",
           "IForeign transferor indicator",
           "cBuyer's part of real estate tax"});
    w.ClosingBlock();
}

void Form1099SaFields(FieldListWriter& w) {
    w.PayeeBlock();
    w.Add({"$Account number",
           "cGross distribution",
           "cEarnings on excess contributions",
           "$Distribution code",
           "cFMV on date of death",
           "IBox 5 - HSA indicator",
           "IBox 5 - Archer MSA indicator",
           "IBox 5 - MA MSA indicator"});
    w.ClosingBlock();
}

// --- 3921, 3922 and 5498 forms -------------------------------------------------

void Form3921Fields(FieldListWriter& w) {
    w.PayeeBlock();
    w.Add({"$Account number",
           "dDate option granted",
           "dDate option exercised",
           "cPrice per share",
           "cFMV per share",
           "#Number of shares",
           "$Other information line 1",
           "$Other information line 2",
           "$Other information line 3",
           "$Other information line 4"});
    w.ClosingBlock();
}

void Form3922Fields(FieldListWriter& w) {
    w.PayeeBlock();
    w.Add({"$Account number",
           "dDate option granted",
           "dDate option exercised",
           "cFMV per share on grant date",
           "cFMV per share on exercise date",
           "cExercise price paid per share",
           "#Number of shares transferred",
           "dDate legal title transferred",
           "cExercise price per share determined"});
    w.ClosingBlock();
}

void Form5498Fields(FieldListWriter& w) {
    w.PayeeBlock();
    w.Add({"$Account number",
           "$CFSP Reporting State",
           "cBox 1 - IRA contributions",
           "cBox 2 - Rollover contributions",
           "cBox 3 - Roth IRA conversion amount",
           "cBox 4 - Recharacterized contributions",
           "cBox 5 - FMV of account",
           "cBox 6 - Life insurance cost",
           "IBox 7 - IRA Indicator",
           "IBox 7 - SEP Indicator",
           "IBox 7 - SIMPLE Indicator",
           "IBox 7 - Roth IRA Indicator",
           "cBox 8 - SEP contributions",
           "cBox 9 - SIMPLE contributions",
           "cBox 10 - Roth IRA contributions",
           "IBox 11 - RMD Indicator for 2022",
           "dBox 12a - RMD date",
           "cBox 12b - RMD amount",
           "cBox 13a - Postponed contribution",
           "yBox 13b - Year",
           "$Box 13c - Code",
           "cBox 14a - Repayments",
           "$Box 14b - Code",
           "cBox 15a - FMV of certain specified assets",
           "$Box 15b - Code"});
    w.ClosingBlock();
}

void Form5498EsaFields(FieldListWriter& w) {
    w.PayeeBlock();
    w.Add({"$Account number",
           "cBox 1 - Coverdell ESA contributions",
           "cBox 2 - Rollover contributions"});
    w.ClosingBlock();
}

void Form5498SaFields(FieldListWriter& w) {
    w.PayeeBlock();
    w.Add({"$Account number",
           "cBox 1 - Employee Archer MSA contributions",
           "cBox 2 - Total contributions made in 2021",
           "cBox 3 - Total HSA or Archer MSA contributions made in 2022 for 2021",
           "cBox 4 - Rollover contributions",
           "cBox 5 - FMV of HSA, Archer MSA, or MA MSA",
           "IBox 6 - HSA indicator",
           "IBox 6 - Archer MSA indicator",
           "IBox 6 - MA MSA indicator"});
    w.ClosingBlock();
}

// --- W-2 forms ---------------------------------------------------------------------

void FormW2Fields(FieldListWriter& w) {
    w.Add({"$File (Control) number",
           "$First name",
           "$Middle initial",
           "$Last name",
           "$Suffix",
           "$Employee's full name (optional)",
           "$Street address line 1",
           "$Street address line 2",
           "$City",
           "$State",
           "$Zip code",
           "$Zip code extension",
           "uUSPS Delivery Point",
           "IForeign address indicator",
           "$Foreign state or province",
           "$Foreign postal code",
           "$Foreign country code",
           "IApplied for SSN indicator",
           "nSocial security number",
           "cWages",
           "cFederal withheld",
           "cSocial security wages",
           "cSocial security tax",
           "cMedicare wages and tips",
           "cMedicare tax",
           "cSocial security tips",
           "cAllocated tips",
           "cDependent care benefits",
           "cNonqualified plans",
           "$Box 12a code",
           "cBox 12a amount",
           "$Box 12b code",
           "cBox 12b amount",
           "$Box 12c code",
           "cBox 12c amount",
           "$Box 12d code",
           "cBox 12d amount",
           "IStatutory employee indicator",
           "IRetirement plan indicator",
           "IThird-party sick pay indicator",
           "$Box 14 line 1",
           "$Box 14 line 2",
           "$Box 14 line 3",
           "$State 1",
           "cState 1 wages",
           "cState 1 tax withheld",
           "cLocality 1 wages",
           "cLocality 1 tax withheld",
           "$Name of locality 1",
           "$Locality 1 type",
           "$State 2",
           "cState 2 wages",
           "cState 2 tax withheld",
           "cLocality 2 wages",
           "cLocality 2 tax withheld",
           "$Name of locality 2",
           "$Locality 2 type",
           "$Payment entity",
           "INot subject to FICA indicator",
           "IDo not print indicator",
           "$Employee ID",
           "$E-Mail address",
           "$Client ID"});
}

// W-2C positions 21 to 59: the previously reported amounts and codes. The
// corrected ones follow in the same order, "Previous" read as "Corrected".
constexpr std::string_view kW2CPreviouslyReported[] = {
    "IPrevious statutory employee indicator",
    "IPrevious retirement plan indicator",
    "IPrevious 3rd-party sick pay indicator",
    "cPrevious wages",
    "cPrevious federal income tax",
    "cPrevious social security wages",
    "cPrevious social security tax",
    "cPrevious medicare wages and tips",
    "cPrevious medicare tax",
    "cPrevious social security tips",
    "cPrevious allocated tips",
    "cPrevious advanced EIC payments",
    "cPrevious dependent care benefits",
    "cPrevious nonqualified plans",
    "$Previous Box 12a code",
    "cPrevious Box 12a amount",
    "$Previous Box 12b code",
    "cPrevious Box 12b amount",
    "$Previous Box 12c code",
    "cPrevious Box 12c amount",
    "$Previous Box 12d code",
    "cPrevious Box 12d amount",
    "$Previous Box 14 line 1",
    "$Previous Box 14 line 2",
    "$Previous Box 14 line 3",
    "$Previous State 1",
    "$Previous State 1 ID",
    "cPrevious State 1 wages",
    "cPrevious State 1 income tax",
    "$Previous Local 1",
    "cPrevious Local 1 wages",
    "cPrevious Local 1 income tax",
    "$Previous State 2",
    "$Previous State 2 ID",
    "cPrevious State 2 wages",
    "cPrevious State 2 income tax",
    "$Previous Local 2",
    "cPrevious Local 2 wages",
    "cPrevious Local 2 income tax",
};

void FormW2CFields(FieldListWriter& w) {
    w.Add({"YYear corrected",
           "$First name",
           "$First name (previously reported)",
           "$Middle initial",
           "$Middle initial (previously reported)",
           "$Last name",
           "$Last name (previously reported)",
           "$Suffix",
           "$Street address line 1",
           "$Street address line 2",
           "$City",
           "$State",
           "$Zip code",
           "$Zip code extension",
           "IForeign address indicator",
           "$Foreign state or province",
           "$Foreign postal code",
           "$Foreign country code",
           "nCorrect SSN",
           "NIncorrect SSN"});
    w.Add(kW2CPreviouslyReported);
    w.AddReplacing(kW2CPreviouslyReported, "Previous", "Corrected");
}

void FormW2GFields(FieldListWriter& w) {
    w.AddressBlock();
    w.Add({"IForeign address indicator",
           "$Foreign city, province, postal code",
           "TTIN Type",
           "NTaxpayer id",
           "$Name control",
           "$Transaction Number",
           "cGross winnings",
           "cFederal income tax withheld",
           "gType of wager code (1-9)",
           "cAmount of wager",
           "DDate won",
           "$Race",
           "cWinnings from identical wagers",
           "$Cashier",
           "$Window",
           "$First ID",
           "$Second ID",
           "$Reporting state",
           "cState winnings",
           "cState income tax withheld",
           "cLocal winnings",
           "cLocal income tax withheld",
           "$Name of locality",
           "IDo not print indicator",
           "$Client ID"});
}

using FieldListFiller = void (*)(FieldListWriter&);

// By form index; Clients and Sponsors are titles only and have no list.
constexpr std::array<FieldListFiller, kFormNameCount> kFieldLists = {
    nullptr,                  // 0 Clients
    nullptr,                  // 1 Sponsors
    AleGroupFields,           // 2 ALE Group
    Form1094Fields,           // 3 1094
    Form1095BFields,          // 4 1095-B
    CoveredIndividualFields,  // 5 1095-B CI
    Form1095CFields,          // 6 1095-C
    CoveredIndividualFields,  // 7 1095-C CI
    Form1098Fields,           // 8 1098
    Form1098CFields,          // 9 1098-C
    Form1098EFields,          // 10 1098-E
    Form1098FFields,          // 11 1098-F
    Form1098TFields,          // 12 1098-T
    Form1099AFields,          // 13 1099-A
    Form1099BFields,          // 14 1099-B
    Form1099CFields,          // 15 1099-C
    Form1099CapFields,        // 16 1099-CAP
    Form1099DivFields,        // 17 1099-DIV
    Form1099GFields,          // 18 1099-G
    Form1099IntFields,        // 19 1099-INT
    Form1099KFields,          // 20 1099-K
    Form1099LtcFields,        // 21 1099-LTC
    Form1099MiscFields,       // 22 1099-MISC
    Form1099NecFields,        // 23 1099-NEC
    Form1099OidFields,        // 24 1099-OID
    Form1099PatrFields,       // 25 1099-PATR
    Form1099QFields,          // 26 1099-Q
    Form1099RFields,          // 27 1099-R
    Form1099SFields,          // 28 1099-S
    Form1099SaFields,         // 29 1099-SA
    Form3921Fields,           // 30 3921
    Form3922Fields,           // 31 3922
    Form5498Fields,           // 32 5498
    Form5498EsaFields,        // 33 5498-ESA
    Form5498SaFields,         // 34 5498-SA
    FormW2Fields,             // 35 W-2
    FormW2CFields,            // 36 W-2C
    FormW2GFields,            // 37 W-2G
};

} // namespace

void GetFormFields(unsigned char formIndex, std::vector<std::string>& list) {
    if (formIndex >= kFieldLists.size() || kFieldLists[formIndex] == nullptr) return;
    FieldListWriter writer(list);
    kFieldLists[formIndex](writer);
}

} // namespace ov
