#include "core/CodeTable.h"

#include <array>

namespace beamlet::core {
namespace {

struct Row {
    int code;
    const char* pageId;
};

// In keyboard order, as the pages were published; lookup does not depend on it.
constexpr Row kRows[kTableSize] = {
    {65, "293389874047563"},   // capital A
    {66, "354106854613891"},   // capital B
    {67, "205113256252715"},   // capital C
    {68, "341372962559985"},   // capital D
    {69, "354108751280368"},   // capital E
    {70, "294422347284962"},   // capital F
    {71, "352346351455728"},   // capital G
    {72, "186097158158768"},   // capital H
    {73, "317573994955880"},   // capital I
    {74, "293399464046604"},   // capital J
    {75, "356353401055434"},   // capital K
    {76, "377614415598171"},   // capital L
    {77, "354120384612538"},   // capital M
    {78, "294433177283879"},   // capital N
    {79, "204189483012499"},   // capital O
    {80, "297071970349072"},   // capital P
    {81, "223456667748430"},   // capital Q
    {82, "222600757832632"},   // capital R
    {83, "293408277379056"},   // capital S
    {84, "186106791491138"},   // capital T
    {85, "341388569225091"},   // capital U
    {86, "297076257015310"},   // capital V
    {87, "317585334954746"},   // capital W
    {88, "204195036345277"},   // capital X
    {89, "223462731081157"},   // capital Y
    {90, "352361608120869"},   // capital Z
    {97, "377645498928396"},   // small a
    {98, "238748946207039"},   // small b
    {99, "238749869540280"},   // small c
    {100, "317608391619107"},  // small d
    {101, "222629744496400"},  // small e
    {102, "377648892261390"},  // small f
    {103, "317609434952336"},  // small g
    {104, "341415342555747"},  // small h
    {105, "149883275129464"},  // small i
    {106, "317610084952271"},  // small j
    {107, "223489184411845"},  // small k
    {108, "223489517745145"},  // small l
    {109, "377650962261183"},  // small m
    {110, "204219669676147"},  // small n
    {111, "186128041489013"},  // small o
    {112, "377652195594393"},  // small p
    {113, "377652432261036"},  // small q
    {114, "223490911078339"},  // small r
    {115, "377655825594030"},  // small s
    {116, "352389351451428"},  // small t
    {117, "294470370613493"},  // small u
    {118, "356392584384849"},  // small v
    {119, "352390328117997"},  // small w
    {120, "205154162915291"},  // small x
    {121, "223492594411504"},  // small y
    {122, "354157544608822"},  // small z
    {48, "205585576206223"},   // digit 0
    {49, "355701004454476"},   // digit 1
    {50, "355701367787773"},   // digit 2
    {51, "342963415734273"},   // digit 3
    {52, "151432151641243"},   // digit 4
    {53, "357931430897631"},   // digit 5
    {54, "187324968035987"},   // digit 6
    {55, "355703024454274"},   // digit 7
    {56, "319110168135596"},   // digit 8
    {57, "319110388135574"},   // digit 9
    {96, "295040787215805"},   // grave accent
    {91, "354090937947936"},   // left square bracket
    {93, "296062703787593"},   // right square bracket
    {59, "225081744252589"},   // semicolon
    {39, "296081663785697"},   // apostrophe
    {44, "240320029383264"},   // comma
    {46, "187435224691628"},   // full stop
    {47, "225101547583942"},   // solidus (slash)
    {92, "354120077945022"},   // reverse solidus (backslash)
    {126, "205700462861401"},  // tilde
    {33, "358055744218533"},   // exclamation mark
    {64, "343086362388645"},   // commercial at sign
    {35, "206660572764650"},   // number sign
    {36, "355833551107888"},   // dollar sign
    {94, "354091437947886"},   // circumflex accent
    {38, "205693229528791"},   // ampersand
    {42, "187436604691490"},   // asterisk
    {40, "206661196097921"},   // left parenthesis
    {41, "205693866195394"},   // right parenthesis
    {45, "225080467586050"},   // hyphen-minus
    {95, "251746331567898"},   // low line (underscore)
    {61, "251771421565389"},   // equals sign
    {43, "296069027120294"},   // plus sign
    {123, "205699819528132"},  // left curly bracket
    {125, "295060623880488"},  // right curly bracket
    {58, "354121851278178"},   // colon
    {34, "379650925394520"},   // quotation mark
    {60, "296070040453526"},   // less-than sign
    {62, "187427021359115"},   // greater-than sign
    {63, "298732506849685"},   // question mark
    {124, "151586014959190"},  // vertical line
    {32, "295067077213176"},   // space
};

constexpr int kFirstCode = 32;
constexpr int kLastCode = 126;

// Every token built once and indexed by code, so a key press costs one bounds check.
struct Index {
    std::array<std::string, kLastCode + 1> tokens;
    std::array<std::string_view, kLastCode + 1> ids;
    Index()
    {
        for (const Row& row : kRows) {
            tokens[row.code] = makeToken(row.pageId);
            ids[row.code] = row.pageId;
        }
    }
};

const Index& index()
{
    static const Index instance;
    return instance;
}

}  // namespace

std::string makeToken(std::string_view pageId)
{
    std::string token;
    token.reserve(pageId.size() + 5);
    token.append("[[").append(pageId).append("]]").push_back(kFormFeed);
    return token;
}

std::optional<std::string_view> pageIdFor(std::int64_t code)
{
    if (code < kFirstCode || code > kLastCode)
        return std::nullopt;
    const std::string_view id = index().ids[static_cast<std::size_t>(code)];
    if (id.empty())
        return std::nullopt;
    return id;
}

std::optional<std::string_view> tokenFor(std::int64_t code)
{
    if (code < kFirstCode || code > kLastCode)
        return std::nullopt;
    const std::string& token = index().tokens[static_cast<std::size_t>(code)];
    if (token.empty())
        return std::nullopt;
    return std::string_view(token);
}

}  // namespace beamlet::core
