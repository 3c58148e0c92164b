#pragma once
// Wake-up and identification replies, the RS-232 baud lists by model, and the
// firmware tests used throughout.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace protocol {

inline const QByteArray kWakeUp = "#A\r";
inline const QByteArray kWakeUpChecksummed = "#A64\r";
inline const QByteArray kQueryVersion = "#PV\r";
inline const QByteArray kQueryCompany = "#PC\r";
inline const QByteArray kQueryModel = "#PM\r";

// A wake-up reply longer than this means CAN traffic is already flowing.
constexpr int kMaxWakeUpReplyLength = 10;

// Positions 3 to 6 (fewer when the reply is shorter).
QByteArray FirmwareVersionFromReply(const QByteArray &reply);
// AscToInt of position 3 (NUL when absent, giving -48).
int FirmwareMajorFromReply(const QByteArray &reply);
// "#PC": positions 3 to 9.
QByteArray CompanyNameFromReply(const QByteArray &reply);
// "#PM" in the multi-model edition: by the reply's length 11 -> 3..8,
// 12 -> 3..9, 14 -> 3..11, any other length "N-2416".
QByteArray ModelNameFromReply(const QByteArray &reply);
// "#PM" in the single-model edition: positions 3 to 8 whatever the length.
QByteArray SingleModelNameFromReply(const QByteArray &reply);

// The fifteen rates "110" ... "921600".
const QStringList &AllRs232Bauds();
// Their first twelve, "110" ... "115200": the rates of every other model.
QStringList Rs232BaudsUpTo115200();
// 15 entries for "R-2481", the first 12 for any other model.
QStringList Rs232BaudListForModel(const QString &model);

// The version text compared with "3" as byte strings: not smaller is
// version-3 firmware ("3.00", "4.10" yes; "2.10", "10.0", "" no).
bool IsVersion3Firmware(const QString &firmwareVersion);
// Firmware major digit 2 or more.
bool IsPairCapable(int firmwareMajor);

} // namespace protocol
