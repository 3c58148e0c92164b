// placeholder until this file is written
#include "QCCom32.h"
class SerialDevice {};
TQCCom32::TQCCom32() = default;
TQCCom32::~TQCCom32() = default;
void TQCCom32::SetBaud(int32_t b) { FBaud = b; }
void TQCCom32::SetEndOfResponse(const QString &t) { FEndOfResponse = t; }
void TQCCom32::SetHandshaking(THandshake h) { FHandshaking = h; }
int32_t TQCCom32::InCount() const { return 0; }
bool TQCCom32::Opened() const { return false; }
void TQCCom32::SetPort(int32_t p) { FPort = p; }
bool TQCCom32::Open() { return false; }
void TQCCom32::Close() {}
bool TQCCom32::WriteString(const QByteArray &) { return false; }
QByteArray TQCCom32::ReadResponse() { return {}; }
void TQCCom32::DoTimeout() {}
bool TQCCom32::DeviceLost() const { return false; }
int TQCCom32::Handle() const { return -1; }
QString TQCCom32::DeviceName() const { return {}; }
QByteArray TQCCom32::DecodeTerminator(const QString &) { return {}; }
