#include "ZRSerialPatternTable.h"

#include <iterator>

namespace {

enum Kind { Literal, Template };

struct Entry
{
    Kind kind;
    const char* text; // a pattern, or a template with one "%@" for the serial sub-pattern
    // Texts the entry cannot match without, in lower case: groups separated by "&", each of
    // alternatives separated by "|"; a match holds at least one alternative of every group.
    const char* required;
};

// Every backslash is a character of the pattern (the required texts are ordinary C strings). Entry 17 holds a line feed
// character (not "\n" as an escape), and entry 24 matches the word "resgister" as written in the messages it was made
// for.
// clang-format off
constexpr Entry Entries[] = {
    {Literal, R"re((?:License: Keyboard Maestro .*\n[ ]*Download:.*\n[ ]*Username:.*\n[ ]*Serial:[ ]*)([a-zA-Z0-9]+))re",
     "keyboard maestro &download:"}, // 1
    {Literal, R"re((?:\(if you have multiple license keys, please pick one\):)(?:\n\s)*([a-zA-Z0-9\+\n/]+==))re",
     "(if you have multiple license keys, please pick one):"}, // 2
    {Template, R"re((?:1Password(?:.|\n)*)key:(?:.|\n)*?<td(%@)</td)re",
     "1password&key:&<td"}, // 3
    {Literal, R"re(LaunchBar [0-9]+ [a-zA-Z ]* [lL]icense [kK]ey:\n\n[=]+\n([a-zA-Z0-9\+\-\.\#+/]+))re",
     "launchbar &icense &ey:\n\n"}, // 4
    {Template, R"re(Serial #:\nInternet Security Barrier.*: (%@))re",
     "serial #:\ninternet security barrier"}, // 5
    {Template, R"re((?:macgamestore)*.License Code: (%@))re",
     "license code: "}, // 6
    {Literal, R"re(Sandvox .*License:\n([a-zA-Z0-9 ]+))re",
     "sandvox &license:\n"}, // 7
    {Literal, R"re(Name.*\nCode:\s(([a-zA-Z0-9\-\n]+)\n\n\n))re",
     "name&\ncode:"}, // 8
    {Template, R"re(serial numbers for VMWare Fusion .*:[\s]*(%@))re",
     "serial numbers for vmware fusion "}, // 9
    {Template, R"re(VMware Fusion.*<td(%@)</td)re",
     "vmware fusion&<td"}, // 10
    {Template, R"re((?:serial number|license key|registration number): (%@))re",
     "serial number: |license key: |registration number: "}, // 11
    {Literal, R"re(your code is: ([a-zA-Z0-9\n\+\-#=/ ]+)(?=\n\n))re",
     "your code is: "}, // 12
    {Literal, R"re(License Key :\n[ ]*Name : ".*"\n[ ]*"([a-zA-Z0-9\-]+)")re",
     "license key :\n&name : \""}, // 13
    {Literal, R"re(license key:[ ]*(\*[a-zA-Z0-9\+\-\. ]+\*))re",
     "license key:"}, // 14
    {Literal, R"re((?:TaskPaper.*\s=*\s+License Name:\s*.*\s\sLicense Key:\s*)([a-zA-Z0-9\+\-\.\#/%\n]{3,}+=))re",
     "taskpaper&license name:&license key:"}, // 15
    {Template, R"re((?<!product )(?<!postal )(?<!zip )(?<!coupon )(code|key)( |is)*:[ \n\t]*(%@))re",
     "code|key&:"}, // 16
    {Template, R"re((?im)ZOT!(.|)re" "\n" R"re()*S/n: (%@))re",
     "zot!&s/n: "}, // 17
    {Literal, R"re(Changes!.*copy and paste.*licensing window:\n\n([a-zA-Z0-9\n\+\-#=/ ]+)(?=\n\n))re",
     "changes!&copy and paste&licensing window:\n\n"}, // 18
    {Template, R"re((?:serial[\s]*(number)?|license key|license code)(?: for )?.*(^line\-break):[\s]*(%@))re",
     "serial|license key|license code&line-break:"}, // 19
    {Template, R"re(registration code field:[\s]*(%@))re",
     "registration code field:"}, // 20
    {Template, R"re(key\(s\): (%@))re",
     "key(s): "}, // 21
    {Template, R"re(license key\(s\) is/are:[\s]*(%@))re",
     "license key(s) is/are:"}, // 22
    {Template, R"re(The Missing Sync(?:[ a-zA-Z0-9\.])+ (%@))re",
     "the missing sync"}, // 23
    {Template, R"re((?:resgister number):( )*(%@))re",
     "resgister number:"}, // 24
    {Template, R"re(license data \(key and email\):\n\n(%@))re",
     "license data (key and email):\n\n"}, // 25
    {Template, R"re(license:\s*\n\s*(%@))re",
     "license:"}, // 26
    {Template, R"re(registration number\(s\):[ \n]*(?:DiskWarrior [0-9]+)[ ]*(%@))re",
     "registration number(s):&diskwarrior "}, // 27
    {Template, R"re(xScope.*\n\nName.*\nNumber: (%@))re",
     "xscope&\n\nname&\nnumber: "}, // 28
    {Template, R"re(Adobe Photoshop.*for.*\(.*\) *\n(%@))re",
     "adobe photoshop&for&(&)"}, // 29
    {Template, R"re((?<!account )(?<!transaction )(?<!PayPal FSA Register =\n)(?<!PayPal FSA Register )(?<!Subscription )(?<!Item )(?<!Product )(?<!Phone )(?<!Order )Number:[ ](%@))re",
     "number: "}, // 30
    {Literal, R"re(Activation Key:\n[ ]*([a-zA-Z0-9\-]+))re",
     "activation key:\n"}, // 31
    {Literal, R"re(\* Code for [0-9]* x [a-zA-Z0-9 ]* - (.*))re",
     "* code for "}, // 32
    {Template, R"re((?:serial|license|registration)[\s](number|#|key|code)[ 0-9]*:[\s](%@))re",
     "serial|license|registration&number|#|key|code&:"}, // 33
    {Template, R"re((?:serial|license|registration)[\s](?:number|#|key|code)[\s](?:is)?:[\s](%@))re",
     "serial|license|registration&number|#|key|code&:"}, // 34
    {Template, R"re((serial|license|registration)[\s](number|#|key|code)[\s0-9a-zA-Z]*:[\n\s]*(%@))re",
     "serial|license|registration&number|#|key|code&:"}, // 35
    {Template, R"re((?:"license key" enter:)[\n]*(%@))re",
     "\"license key\" enter:"}, // 36
    {Template, R"re((?:DocumentWallet:)[\n]*(%@))re",
     "documentwallet:"}, // 37
    {Template, R"re((?:Tangerine![\s]*v[0-9]+:[\n]*)(%@))re",
     "tangerine!"}, // 38
    {Template, R"re((?:Knapsack:[\n]*)(%@))re",
     "knapsack:"}, // 39
    {Template, R"re((?:Keymoor:[\n]*)(%@))re",
     "keymoor:"}, // 40
    {Literal, R"re((?:serial|license|registration)[ \n]*(number|#|key|code):[ \n]*([a-zA-Z0-9\+\-\.\#/]+))re",
     "serial|license|registration&number:|#:|key:|code:"}, // 41
    {Literal, R"re((?:serial|license|s/n):[ |\n]*([a-zA-Z0-9\+\-\.\#]+))re",
     "serial:|license:|s/n:"}, // 42
    {Literal, R"re(Adobe Photoshop.*\(.*\) *\n *([a-z0-9\-]+))re",
     "adobe photoshop&(&)"}, // 43
    {Literal, R"re((?>License Key \(next 4 lines\):\n)([a-zA-Z0-9\n]+)(?=\n\n\n))re",
     "license key (next 4 lines):\n"}, // 44
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

const QList<ZRSerialPatternTable::Requirement>& ZRSerialPatternTable::requirements()
{
    static const QList<Requirement> table = [] {
        QList<Requirement> list;
        for (const Entry& entry : Entries) {
            Requirement requirement;
            for (const QString& group : QString::fromUtf8(entry.required).split(QLatin1Char('&'))) {
                requirement.append(group.split(QLatin1Char('|')));
            }
            list.append(requirement);
        }
        return list;
    }();
    return table;
}
