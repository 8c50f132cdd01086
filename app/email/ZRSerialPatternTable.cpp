#include "ZRSerialPatternTable.h"

#include <iterator>

namespace {

enum Kind { Literal, Template };

struct Entry
{
    Kind kind;
    const char* text; // a pattern, or a template with one "%@" for the serial sub-pattern
};

// Every backslash is a character of the pattern. Entry 17 holds a line feed character (not "\n" as
// an escape), and entry 24 matches the word "resgister" as written in the messages it was made for.
// clang-format off
constexpr Entry Entries[] = {
    {Literal, R"re((?:License: Keyboard Maestro .*\n[ ]*Download:.*\n[ ]*Username:.*\n[ ]*Serial:[ ]*)([a-zA-Z0-9]+))re"}, // 1
    {Literal, R"re((?:\(if you have multiple license keys, please pick one\):)(?:\n\s)*([a-zA-Z0-9\+\n/]+==))re"}, // 2
    {Template, R"re((?:1Password(?:.|\n)*)key:(?:.|\n)*?<td(%@)</td)re"}, // 3
    {Literal, R"re(LaunchBar [0-9]+ [a-zA-Z ]* [lL]icense [kK]ey:\n\n[=]+\n([a-zA-Z0-9\+\-\.\#+/]+))re"}, // 4
    {Template, R"re(Serial #:\nInternet Security Barrier.*: (%@))re"}, // 5
    {Template, R"re((?:macgamestore)*.License Code: (%@))re"}, // 6
    {Literal, R"re(Sandvox .*License:\n([a-zA-Z0-9 ]+))re"}, // 7
    {Literal, R"re(Name.*\nCode:\s(([a-zA-Z0-9\-\n]+)\n\n\n))re"}, // 8
    {Template, R"re(serial numbers for VMWare Fusion .*:[\s]*(%@))re"}, // 9
    {Template, R"re(VMware Fusion.*<td(%@)</td)re"}, // 10
    {Template, R"re((?:serial number|license key|registration number): (%@))re"}, // 11
    {Literal, R"re(your code is: ([a-zA-Z0-9\n\+\-#=/ ]+)(?=\n\n))re"}, // 12
    {Literal, R"re(License Key :\n[ ]*Name : ".*"\n[ ]*"([a-zA-Z0-9\-]+)")re"}, // 13
    {Literal, R"re(license key:[ ]*(\*[a-zA-Z0-9\+\-\. ]+\*))re"}, // 14
    {Literal, R"re((?:TaskPaper.*\s=*\s+License Name:\s*.*\s\sLicense Key:\s*)([a-zA-Z0-9\+\-\.\#/%\n]{3,}+=))re"}, // 15
    {Template, R"re((?<!product )(?<!postal )(?<!zip )(?<!coupon )(code|key)( |is)*:[ \n\t]*(%@))re"}, // 16
    {Template, R"re((?im)ZOT!(.|)re" "\n" R"re()*S/n: (%@))re"}, // 17
    {Literal, R"re(Changes!.*copy and paste.*licensing window:\n\n([a-zA-Z0-9\n\+\-#=/ ]+)(?=\n\n))re"}, // 18
    {Template, R"re((?:serial[\s]*(number)?|license key|license code)(?: for )?.*(^line\-break):[\s]*(%@))re"}, // 19
    {Template, R"re(registration code field:[\s]*(%@))re"}, // 20
    {Template, R"re(key\(s\): (%@))re"}, // 21
    {Template, R"re(license key\(s\) is/are:[\s]*(%@))re"}, // 22
    {Template, R"re(The Missing Sync(?:[ a-zA-Z0-9\.])+ (%@))re"}, // 23
    {Template, R"re((?:resgister number):( )*(%@))re"}, // 24
    {Template, R"re(license data \(key and email\):\n\n(%@))re"}, // 25
    {Template, R"re(license:\s*\n\s*(%@))re"}, // 26
    {Template, R"re(registration number\(s\):[ \n]*(?:DiskWarrior [0-9]+)[ ]*(%@))re"}, // 27
    {Template, R"re(xScope.*\n\nName.*\nNumber: (%@))re"}, // 28
    {Template, R"re(Adobe Photoshop.*for.*\(.*\) *\n(%@))re"}, // 29
    {Template, R"re((?<!account )(?<!transaction )(?<!PayPal FSA Register =\n)(?<!PayPal FSA Register )(?<!Subscription )(?<!Item )(?<!Product )(?<!Phone )(?<!Order )Number:[ ](%@))re"}, // 30
    {Literal, R"re(Activation Key:\n[ ]*([a-zA-Z0-9\-]+))re"}, // 31
    {Literal, R"re(\* Code for [0-9]* x [a-zA-Z0-9 ]* - (.*))re"}, // 32
    {Template, R"re((?:serial|license|registration)[\s](number|#|key|code)[ 0-9]*:[\s](%@))re"}, // 33
    {Template, R"re((?:serial|license|registration)[\s](?:number|#|key|code)[\s](?:is)?:[\s](%@))re"}, // 34
    {Template, R"re((serial|license|registration)[\s](number|#|key|code)[\s0-9a-zA-Z]*:[\n\s]*(%@))re"}, // 35
    {Template, R"re((?:"license key" enter:)[\n]*(%@))re"}, // 36
    {Template, R"re((?:DocumentWallet:)[\n]*(%@))re"}, // 37
    {Template, R"re((?:Tangerine![\s]*v[0-9]+:[\n]*)(%@))re"}, // 38
    {Template, R"re((?:Knapsack:[\n]*)(%@))re"}, // 39
    {Template, R"re((?:Keymoor:[\n]*)(%@))re"}, // 40
    {Literal, R"re((?:serial|license|registration)[ \n]*(number|#|key|code):[ \n]*([a-zA-Z0-9\+\-\.\#/]+))re"}, // 41
    {Literal, R"re((?:serial|license|s/n):[ |\n]*([a-zA-Z0-9\+\-\.\#]+))re"}, // 42
    {Literal, R"re(Adobe Photoshop.*\(.*\) *\n *([a-z0-9\-]+))re"}, // 43
    {Literal, R"re((?>License Key \(next 4 lines\):\n)([a-zA-Z0-9\n]+)(?=\n\n\n))re"}, // 44
};
// clang-format on

static_assert(std::size(Entries) == ZRSerialPatternTable::EntryCount);

} // namespace

const QString& ZRSerialPatternTable::serialSubpattern()
{
    static const QString pattern = QStringLiteral(R"re([a-zA-Z0-9\+\-\.\#%/]{3,}+=*+)re");
    return pattern;
}

const QStringList& ZRSerialPatternTable::patterns()
{
    static const QStringList table = [] {
        QStringList list;
        for (const Entry& entry : Entries) {
            QString text = QString::fromUtf8(entry.text);
            if (entry.kind == Template) {
                text.replace(QLatin1String("%@"), serialSubpattern());
            }
            list.append(text);
        }
        return list;
    }();
    return table;
}
