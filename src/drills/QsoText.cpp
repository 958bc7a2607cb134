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

std::string Pick(CBandRandom& random, const auto& list)
{
    return list[size_t(random.Uniform() * double(std::size(list)))];
}

std::string Fill(std::string over, const std::map<std::string, std::string>& fields)
{
    for (const auto& [key, value] : fields)
        for (size_t at; (at = over.find(key)) != std::string::npos;)
            over.replace(at, key.size(), value);
    return over;
}

std::string Overs(const std::vector<std::string>& overs, const std::map<std::string, std::string>& fields)
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
    std::map<std::string, std::string> fields{
        {"{A}", me},
        {"{B}", CallSign(random)},
        {"{RST}", Pick(random, kReports)},
        {"{RST2}", Pick(random, kReports)},
        {"{NAME}", Pick(random, kNames)},
        {"{NAME2}", Pick(random, kNames)},
        {"{QTH}", Pick(random, kPlaces)},
        {"{QTH2}", Pick(random, kPlaces)},
        {"{PWR}", Pick(random, kPowers)},
        {"{ANT}", Pick(random, kAntennas)},
        {"{WX}", Pick(random, kWeather)},
        {"{TEMP}", std::to_string(int(random.Uniform() * 35))},
    };
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

std::string QsoText(CBandRandom& random, bool bProsigns)
{
    const int kind = int(random.Uniform() * 3);
    return QsoText(kind == 0 ? QsoKind::RagChew : kind == 1 ? QsoKind::Contest : QsoKind::Dx, random, bProsigns);
}
