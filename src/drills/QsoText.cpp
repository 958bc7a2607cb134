// SPDX-License-Identifier: GPL-3.0-or-later
#include "drills/QsoText.h"
#include "drills/Drills.h"

#include <cstdio>
#include <iterator>
#include <map>
#include <vector>

namespace {

// Our own lists. The conventions (RST, 5NN for 599, serial numbers,
// "TU" to end a contest QSO, <SK> at the end, <KN> to a given station)
// follow common amateur practice and the abbreviations of ITU-R M.1172.
constexpr const char* kNames[] = {"TARO", "HIRO", "KEN", "YUKI", "AKI", "MASA", "JOHN", "BOB", "MIKE", "ANNA",
                                  "PETER", "HANS", "MARIA", "LEE", "TOM", "SAM"};
constexpr const char* kPlaces[] = {"TOKYO", "OSAKA", "SAPPORO", "NAGOYA", "FUKUOKA", "SENDAI", "KOBE", "NIIGATA",
                                   "NAHA", "BERLIN", "LONDON", "DALLAS", "SYDNEY", "SEOUL", "VIENNA", "LIMA"};
constexpr const char* kAntennas[] = {"DIPOLE", "YAGI", "VERTICAL", "LOOP", "LONG WIRE", "GP"};
constexpr const char* kWeather[] = {"SUNNY", "CLOUDY", "RAIN", "SNOW", "FINE", "WINDY"};
constexpr const char* kPowers[] = {"5", "10", "50", "100", "200", "500"};
constexpr const char* kReports[] = {"599", "579", "589", "569", "559", "449", "339"};

// A template's overs; {A} calls, {B} answers. Fields in braces are filled
// once per QSO.
constexpr const char* kRagChew[] = {
    "CQ CQ CQ DE {A} {A} {A} <AR> K",
    "{A} DE {B} {B} <AR> K",
    "{B} DE {A} GM OM TNX FER CALL <BT> UR RST {RST} {RST} <BT> NAME {NAME} {NAME} <BT> QTH {QTH} {QTH} <BT> "
    "HW? <AR> {B} DE {A} <KN>",
    "{A} DE {B} R FB {NAME} TNX FER RPRT <BT> UR RST {RST2} {RST2} <BT> NAME {NAME2} <BT> QTH {QTH2} <BT> "
    "RIG {PWR}W ANT {ANT} <BT> WX {WX} TEMP {TEMP}C <AR> {A} DE {B} <KN>",
    "{B} DE {A} R TNX {NAME2} FER FB QSO <BT> PSE QSL VIA BURO <BT> HPE CUL 73 <AR> {B} DE {A} <SK>",
    "{A} DE {B} TU {NAME} 73 GL <SK> EE",
};
constexpr const char* kDx[] = {
    "CQ DX CQ DX DE {A} {A} K",
    "{B}",
    "{B} 5NN TU",
    "TU 5NN",
    "TU {A} UP",
};

using Fields = std::map<std::string, std::string>;

std::string Pick(CBandRandom& random, const auto& list)
{
    return list[size_t(random.Uniform() * double(std::size(list)))];
}

std::string Fill(std::string over, const Fields& fields)
{
    for (const auto& [key, value] : fields)
        for (size_t at; (at = over.find(key)) != std::string::npos;)
            over.replace(at, key.size(), value);
    return over;
}

// What every QSO fills: the two calls, the reports, names and places.
Fields StationFields(CBandRandom& random, const std::string& a, const std::string& b, const auto& names,
                     const auto& places)
{
    return {{"{A}", a},
            {"{B}", b},
            {"{RST}", Pick(random, kReports)},
            {"{RST2}", Pick(random, kReports)},
            {"{NAME}", Pick(random, names)},
            {"{NAME2}", Pick(random, names)},
            {"{QTH}", Pick(random, places)},
            {"{QTH2}", Pick(random, places)}};
}

std::string Overs(const std::vector<std::string>& overs, const Fields& fields)
{
    std::string text;
    for (const std::string& over : overs)
        text += Fill(over, fields) + '\n';
    return text;
}

// Prosigns as letters where the set has none.
std::string Prosigns(std::string text, bool bProsigns)
{
    if (bProsigns)
        return text;
    for (const char* sign : {"<AR>", "<SK>", "<KN>", "<BT>", "<BK>", "<AS>"})
        for (size_t at; (at = text.find(sign)) != std::string::npos;)
            text.replace(at, 4, std::string(sign + 1, 2));
    return text;
}

} // namespace

std::string QsoText(QsoKind eKind, CBandRandom& random, bool bProsigns)
{
    const std::string me = CallSign(random);
    const std::string other = CallSign(random);
    Fields fields = StationFields(random, me, other, kNames, kPlaces);
    fields["{PWR}"] = Pick(random, kPowers);
    fields["{ANT}"] = Pick(random, kAntennas);
    fields["{WX}"] = Pick(random, kWeather);
    fields["{TEMP}"] = std::to_string(int(random.Uniform() * 35));
    std::string text;
    switch (eKind) {
    case QsoKind::RagChew:
        text = Overs({std::begin(kRagChew), std::end(kRagChew)}, fields);
        break;
    case QsoKind::Dx:
        // A pile-up: one station after another answers the DX.
        text = Fill(kDx[0], fields) + '\n';
        for (int i = 0; i < 4; ++i) {
            fields["{B}"] = CallSign(random);
            text += Overs({std::begin(kDx) + 1, std::end(kDx)}, fields);
        }
        break;
    case QsoKind::Contest: {
        // A run: CQ, then stations with their report and serial number.
        int serial = 1 + int(random.Uniform() * 300);
        text = "CQ TEST " + me + " " + me + " TEST\n";
        for (int i = 0; i < 6; ++i, ++serial) {
            const std::string caller = CallSign(random);
            const std::string theirs = std::to_string(1 + int(random.Uniform() * 500));
            char mine[16];
            std::snprintf(mine, sizeof mine, "%03d", serial);
            text += caller + '\n' + caller + " 5NN " + mine + '\n' + "TU 5NN " + theirs + '\n' + "TU " + me + " TEST\n";
        }
        break;
    }
    }
    return Prosigns(text, bProsigns);
}

namespace {

// Full-size kana as telegrams write them (ﾘﾖｳｶｲ for 了解), code page 932.
constexpr const char* kKanaNames[] = {"\xC0\xDB\xB3", "\xCB\xDB\xBC", "\xB9\xDD", "\xD5\xB7",
                                      "\xB1\xB7\xD7", "\xCF\xBB\xB5"}; // ﾀﾛｳ ﾋﾛｼ ｹﾝ ﾕｷ ｱｷﾗ ﾏｻｵ
constexpr const char* kKanaPlaces[] = {"\xC4\xB3\xB7\xD6\xB3", "\xB5\xB5\xBB\xB6", "\xBB\xC2\xCE\xDF\xDB",
                                       "\xC5\xBA\xDE\xD4", "\xCC\xB8\xB5\xB6", "\xBE\xDD\xC0\xDE\xB2"};
                                       // ﾄｳｷﾖｳ ｵｵｻｶ ｻﾂﾎﾟﾛ ﾅｺﾞﾔ ﾌｸｵｶ ｾﾝﾀﾞｲ
// The overs; {H} and {R} are ﾎﾚ and ﾗﾀ. The kana, as a 和文 QSO says them:
//   ｺﾝﾊﾞﾝﾊ ｺﾁﾗﾉ ﾅﾏｴﾊ {NAME} ﾃﾞｽ ﾘﾎﾟｰﾄﾊ {RST} ﾃﾞｽ ﾊﾞｼﾖﾊ {QTH} ﾃﾞｽ ﾖﾛｼｸ
//   ﾘﾖｳｶｲ ｺﾝﾊﾞﾝﾊ ... ﾘﾎﾟｰﾄ ｱﾘｶﾞﾄｳ ...
//   ﾘﾖｳｶｲ ｱﾘｶﾞﾄｳｺﾞｻﾞｲﾏｼﾀ ﾏﾀｵﾈｶﾞｲｼﾏｽ ｻﾖｳﾅﾗ
constexpr const char* kWabunQso[] = {
    "CQ CQ CQ DE {A} {A} {A} K",
    "{A} DE {B} {B} K",
    "{B} DE {A} {H} \xBA\xDD\xCA\xDE\xDD\xCA \xBA\xC1\xD7\xC9 \xC5\xCF\xB4\xCA {NAME} \xC3\xDE\xBD "
    "\xD8\xCE\xDF\xB0\xC4\xCA {RST} \xC3\xDE\xBD \xCA\xDE\xBC\xD6\xCA {QTH} \xC3\xDE\xBD "
    "\xD6\xDB\xBC\xB8 {R} {B} DE {A} K",
    "{A} DE {B} {H} \xD8\xD6\xB3\xB6\xB2 \xBA\xDD\xCA\xDE\xDD\xCA \xD8\xCE\xDF\xB0\xC4 \xB1\xD8\xB6\xDE\xC4\xB3 "
    "\xBA\xC1\xD7\xC9 \xC5\xCF\xB4\xCA {NAME2} \xC3\xDE\xBD \xD8\xCE\xDF\xB0\xC4\xCA {RST2} \xC3\xDE\xBD "
    "\xCA\xDE\xBC\xD6\xCA {QTH2} \xC3\xDE\xBD {R} {A} DE {B} K",
    "{B} DE {A} {H} \xD8\xD6\xB3\xB6\xB2 \xB1\xD8\xB6\xDE\xC4\xB3\xBA\xDE\xBB\xDE\xB2\xCF\xBC\xC0 "
    "\xCF\xC0\xB5\xC8\xB6\xDE\xB2\xBC\xCF\xBD \xBB\xD6\xB3\xC5\xD7 {R} 73 {B} DE {A} <SK>",
    "{A} DE {B} {H} \xD8\xD6\xB3\xB6\xB2 \xBB\xD6\xB3\xC5\xD7 {R} 73 <SK>",
};

} // namespace

// A 和文 QSO is between Japanese stations.
static std::string JapaneseCall(CBandRandom& random)
{
    for (;;)
        if (std::string call = CallSign(random);
            call[0] == 'J' || ((call[0] == '7' || call[0] == '8') && call[1] >= 'J' && call[1] <= 'N'))
            return call;
}

std::string WabunQsoText(CBandRandom& random, bool bSigns)
{
    const std::string a = JapaneseCall(random);
    const std::string b = JapaneseCall(random);
    Fields fields = StationFields(random, a, b, kKanaNames, kKanaPlaces);
    // ﾎﾚ ﾗﾀ as signs, or as the designed table has them.
    fields["{H}"] = bSigns ? "<\xCE\xDA>" : "\xA5";
    fields["{R}"] = bSigns ? "<\xD7\xC0>" : "\xD7\xC0";
    // <SK> stays a prosign only where Latin prosigns are keyed; Wabun keys
    // its letters.
    return Prosigns(Overs({std::begin(kWabunQso), std::end(kWabunQso)}, fields), false);
}

std::string QsoText(CBandRandom& random, bool bProsigns)
{
    const int kind = int(random.Uniform() * 3);
    return QsoText(kind == 0 ? QsoKind::RagChew : kind == 1 ? QsoKind::Contest : QsoKind::Dx, random, bProsigns);
}
