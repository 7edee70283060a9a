// Benchmark of ovdm convert: generates a W-2 extract with all 63 fields
// supplied, converts it, and reports throughput, the ratio to `wc -l` on the
// same file and the converter's peak resident memory.
//
//   ovdm_bench OVDM SIZE_MB WORK_FOLDER

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Random {
    std::uint64_t s = 0x9E3779B97F4A7C15ull;
    std::uint64_t Next()
    {
        s ^= s << 13;
        s ^= s >> 7;
        s ^= s << 17;
        return s;
    }
    std::size_t Below(std::size_t n) { return static_cast<std::size_t>(Next() % n); }
    template <class T, std::size_t N> const T& Pick(const T (&a)[N]) { return a[Below(N)]; }
};

const char* const kFirst[] = {"JAMES", "Mary", "ROBERT", "Patricia", "John", "JENNIFER", "Michael", "Linda",
                              "DAVID", "Elizabeth", "José", "Zoë"};
const char* const kLast[] = {"SMITH", "Johnson", "WILLIAMS", "Brown", "JONES", "Garcia", "MILLER", "Davis",
                             "O'Brien", "Müller", "Van der Berg"};
const char* const kStreet[] = {"123 MAIN ST", "4500 Oak Avenue", "77 Sunset Blvd, Apt 4", "1 Infinite Loop",
                               "PO BOX 991", "200 \"The Towers\" Rd", "9 ELM CT"};
const char* const kCity[] = {"SPRINGFIELD", "Portland", "Austin", "NEW YORK", "St. Louis", "Cœur d'Alene"};
const char* const kState[] = {"IL", "OR", "TX", "NY", "MO", "ID", "CA", "WA"};
const char* const kIndicator[] = {"", "X", "Y", "N", "yes", "no", "TRUE", "false", "1", "0", "null"};
const char* const kBox12[] = {"D", "DD", "W", "E", "AA", ""};

std::string Amount(Random& r)
{
    const std::uint64_t cents = r.Next() % 12000000;
    std::string digits = std::to_string(cents / 100);
    const std::string fraction = (cents % 100 < 10 ? "0" : "") + std::to_string(cents % 100);
    switch (r.Below(5)) {
    case 0: { // $12,345.67
        std::string grouped;
        for (std::size_t i = 0; i < digits.size(); ++i) {
            if (i != 0 && (digits.size() - i) % 3 == 0)
                grouped += ',';
            grouped += digits[i];
        }
        return "$" + grouped + "." + fraction;
    }
    case 1: return digits + "." + fraction;
    case 2: return "+" + digits;
    case 3: return "-" + digits + "." + fraction; // a "c" amount loses its sign
    default: return r.Below(4) == 0 ? "" : digits;
    }
}

std::string Ssn(Random& r)
{
    char s[16];
    const unsigned a = 100 + static_cast<unsigned>(r.Below(800)), b = 10 + static_cast<unsigned>(r.Below(89)),
                   c = 1000 + static_cast<unsigned>(r.Below(8999));
    if (r.Below(2))
        std::snprintf(s, sizeof s, "%03u-%02u-%04u", a, b, c);
    else
        std::snprintf(s, sizeof s, "%03u%02u%04u", a, b, c);
    return s;
}

// One W-2 record: the 63 values in field order.
void WriteRecord(Random& r, std::uint64_t n, std::string& out)
{
    const auto line = [&](const std::string& v) {
        out += v;
        out += "\r\n";
    };
    line("CTL" + std::to_string(n));                                   // 1 File (Control) number
    line(r.Pick(kFirst));                                              // 2 First name
    line(std::string(1, static_cast<char>('A' + r.Below(26))));         // 3 Middle initial
    line(r.Pick(kLast));                                               // 4 Last name
    line(r.Below(10) == 0 ? "JR" : "");                                // 5 Suffix
    line("");                                                          // 6 Employee's full name
    line(r.Pick(kStreet));                                             // 7 Street 1
    line(r.Below(3) == 0 ? "SUITE 5, FLOOR 2" : "");                   // 8 Street 2
    line(r.Pick(kCity));                                               // 9 City
    line(r.Pick(kState));                                              // 10 State
    line(std::to_string(10000 + r.Below(89999)));                      // 11 Zip
    line(r.Below(2) ? std::to_string(1000 + r.Below(8999)) : "");      // 12 Zip extension
    line(r.Below(3) == 0 ? "" : std::to_string(r.Below(100)));          // 13 u USPS Delivery Point
    line(r.Pick(kIndicator));                                          // 14 I Foreign address
    line(""); line(""); line("");                                      // 15-17 foreign state, postal, country
    line(r.Pick(kIndicator));                                          // 18 I Applied for SSN
    line(Ssn(r));                                                      // 19 n SSN
    for (int i = 20; i <= 29; ++i)                                     // 20-29 c amounts
        line(Amount(r));
    for (int i = 0; i < 4; ++i) {                                      // 30-37 box 12 codes and amounts
        line(r.Pick(kBox12));
        line(Amount(r));
    }
    line(r.Pick(kIndicator)); line(r.Pick(kIndicator)); line(r.Pick(kIndicator)); // 38-40
    line("UNION DUES " + std::to_string(r.Below(500)));                 // 41 Box 14 line 1
    line(""); line("");                                                // 42-43
    for (int s = 0; s < 2; ++s) {                                      // 44-57 two states
        line(r.Pick(kState));
        line(Amount(r)); line(Amount(r)); line(Amount(r)); line(Amount(r));
        line(r.Below(2) ? "CITY OF " + std::string(r.Pick(kCity)) : "");
        line(r.Below(2) ? "C" : "");
    }
    line(r.Below(5) == 0 ? "ACME PAYROLL SERVICES, INC." : "");         // 58 Payment entity
    line(r.Pick(kIndicator)); line(r.Pick(kIndicator));                // 59-60
    line("E" + std::to_string(n % 100000));                            // 61 Employee ID
    line(r.Below(2) ? "employee" + std::to_string(n) + "@example.com" : ""); // 62 E-Mail
    line("CLIENT-" + std::to_string(n % 37));                          // 63 Client ID
}

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

struct ChildRun {
    int status = -1;
    double seconds = 0;
    long maxRssKb = 0;
    double cpuSeconds = 0; // user and system time of the child
};

// Runs argv with stdout to /dev/null; its wall time and peak resident memory.
ChildRun Run(const std::vector<std::string>& args)
{
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        if (!std::freopen("/dev/null", "w", stdout))
            _exit(127);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    ChildRun run;
    rusage usage{};
    int status = 0;
    wait4(pid, &status, 0, &usage);
    run.seconds = Seconds(start);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.maxRssKb = usage.ru_maxrss;
    run.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
                     + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    return run;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: ovdm_bench OVDM SIZE_MB WORK_FOLDER\n");
        return 2;
    }
    const std::string ovdm = argv[1];
    const std::uint64_t target = std::strtoull(argv[2], nullptr, 10) * 1000000ull;
    const std::string folder = argv[3];
    const std::string extract = folder + "/W-2_EXTRACT.txt";
    const std::string import = folder + "/2021DM_W-2_EXTRACT.txt";

    auto start = std::chrono::steady_clock::now();
    std::FILE* f = std::fopen(extract.c_str(), "wb");
    if (!f) {
        std::perror(extract.c_str());
        return 1;
    }
    std::string block = "FORM W-2\r\nKEY 063" + std::string(63, '1') + "\r\n{BEGIN DATA}\r\n";
    Random random;
    std::uint64_t written = 0, records = 0;
    while (written < target) {
        for (int i = 0; i < 256; ++i)
            WriteRecord(random, ++records, block);
        written += block.size();
        std::fwrite(block.data(), 1, block.size(), f);
        block.clear();
    }
    std::fputs("{END DATA}\r\n", f);
    std::fclose(f);
    struct stat st {};
    stat(extract.c_str(), &st);
    const double mb = static_cast<double>(st.st_size) / 1e6;
    std::printf("extract:   %.0f MB, %llu W-2 records of 63 fields (generated in %.1f s)\n", mb,
                static_cast<unsigned long long>(records), Seconds(start));

    std::fflush(stdout);
    // Warm the page cache so that both commands read from memory.
    Run({"cat", extract});
    const ChildRun wc = Run({"wc", "-l", extract});
    setenv("XDG_CONFIG_HOME", (folder + "/config").c_str(), 1);
    const ChildRun convert = Run({ovdm, "convert", extract});
    stat(import.c_str(), &st);
    const double importMb = static_cast<double>(st.st_size) / 1e6;

    std::printf("wc -l:     %.2f s\n", wc.seconds);
    std::printf("convert:   %.2f s, exit %d, import file %.0f MB\n", convert.seconds, convert.status, importMb);
    std::printf("speed:     %.0f MB/s\n", mb / convert.seconds);
    std::printf("vs wc -l:  %.1f times its time\n", convert.seconds / wc.seconds);
    std::printf("peak RSS:  %.1f MB\n", static_cast<double>(convert.maxRssKb) / 1024.0);
    // On a machine shared with other work the wall time says less than this.
    std::printf("CPU time:  %.2f s (%.0f MB per CPU second)\n", convert.cpuSeconds, mb / convert.cpuSeconds);
    return convert.status == 0 ? 0 : 1;
}
