#include "sim/SimDevice.h"

#include <cstdio>

#include "codec/Q_Blowfish_simple.h"

namespace {

const char* const kPanelTypes[] = {"01-Contact ID", "02-Paradox", "03-DSC", "04-Satel"};
const char* const kSmsLanguages[] = {"01-English", "02-Deutsch", "03-Francais", "04-Espanol"};

bool IsRequestCommand(const std::string& c) {
  return c == "F0" || c == "F2" || c == "F4" || c == "F5" || c == "FA" || c == "FE" || c == "FF";
}

std::string Pad(std::string code) {
  code.resize(6, '0');
  return code;
}

// The six-character code field of an F-command request, which the decoder drops.
std::string CodeField(const TByteArray& request) {
  if (request.size() < 16) return {};
  const TByteArray body =
      BlowfishDecryptBuffer(TByteArray(request.begin() + 8, request.end()), PacketKey);
  if (body.size() < 8 || body[0] != 'F') return {};
  return std::string(body.begin() + 2, body.begin() + 8);
}

std::string Describe(const TPacket& p) {
  std::string text =
      p.Command + " " + std::to_string(p.PacketNumber) + "/" + std::to_string(p.PacketCount);
  if (!p.Data.empty()) text += " (" + std::to_string(p.Data.size()) + " items)";
  return text;
}

}  // namespace

TSimFault ParseSimFault(const std::string& name) {
  static const std::map<std::string, TSimFault> names = {
      {"split", TSimFault::Split},  {"silent", TSimFault::Silent}, {"crc", TSimFault::Crc},
      {"wrong", TSimFault::Wrong},  {"abort", TSimFault::Abort},   {"garbage", TSimFault::Garbage},
      {"vanish", TSimFault::Vanish}};
  const auto it = names.find(name);
  return it == names.end() ? TSimFault::None : it->second;
}

std::map<std::string, std::string> TSimDevice::FactorySettings(int generation,
                                                               const std::string& accessCode) {
  std::map<std::string, std::string> s = {
      {"010", "0000"}, {"011", "0000"}, {"012", accessCode}, {"013", "01"},
      {"016", "024"},  {"025", "00"},   {"026", "01"},       {"100", "VX8 object"},
  };
  if (generation == 1) {
    for (int i = 0; i < 4; ++i) {
      s["09" + std::to_string(i)] = "";
      s["09" + std::to_string(i + 4)] = "1111";
    }
    for (int i = 0; i < 6; ++i) {
      s["30" + std::to_string(i)] = "Alarm " + std::to_string(i + 1);
      s["40" + std::to_string(i)] = "Restore " + std::to_string(i + 1);
    }
    return s;
  }
  s["027"] = "03";
  for (int i = 0; i < 4; ++i) s["09" + std::to_string(i)] = "";
  s["098"] = "0000";
  const char* const events[] = {"Input 1 alarm", "Input 2 alarm", "Input 3 alarm", "Input 4 alarm",
                                "MCI alarm",     "Low power",     "Periodic test"};
  const char* const restores[] = {"Input 1 restored", "Input 2 restored", "Input 3 restored",
                                  "Input 4 restored", "MCI restored",     "Power restored"};
  for (int i = 0; i < 7; ++i) {
    s["30" + std::to_string(i)] = events[i];
    s["35" + std::to_string(i)] = "00000000";
  }
  for (int i = 0; i < 6; ++i) {
    s["40" + std::to_string(i)] = restores[i];
    s["45" + std::to_string(i)] = "00000000";
  }
  return s;
}

TSimDevice::TSimDevice(const TSimConfig& config)
    : FConfig(config),
      FVersion(config.Version.empty() ? (config.Generation == 1 ? "1.07" : "2.05")
                                      : config.Version),
      FSettings(FactorySettings(config.Generation, config.FactoryAccessCode)),
      FActiveAccessCode(config.FactoryAccessCode) {}

std::string TSimDevice::AccessCode() const {
  return Pad(FActiveAccessCode).substr(0, 6);
}

void TSimDevice::SetSettings(const std::map<std::string, std::string>& settings) {
  FSettings = settings;
  const auto code = FSettings.find("012");
  if (code != FSettings.end()) FActiveAccessCode = code->second;
}

bool TSimDevice::TakeChanged() {
  const bool changed = FChanged;
  FChanged = false;
  return changed;
}

std::vector<TSimAnswer> TSimDevice::Receive(const TByteArray& bytes) {
  FBuffer.insert(FBuffer.end(), bytes.begin(), bytes.end());
  std::vector<TSimAnswer> answers;
  TByteArray request;
  while (TakeRequest(request)) answers.push_back(Handle(request));
  return answers;
}

bool TSimDevice::TakeRequest(TByteArray& request) {
  auto take = [&](std::size_t size) {
    request.assign(FBuffer.begin(), FBuffer.begin() + static_cast<long>(size));
    FBuffer.erase(FBuffer.begin(), FBuffer.begin() + static_cast<long>(size));
    FExpectZero = true;  // the program sends one 0x00 after every packet
    return true;
  };
  while (!FBuffer.empty()) {
    if (FExpectZero) {
      FExpectZero = false;
      if (FBuffer[0] == 0x00) {
        FBuffer.erase(FBuffer.begin());
        continue;
      }
    }
    const bool header = FBuffer.size() >= 8 && FBuffer[0] == 0x02 && FBuffer[3] == 0x00;
    const std::size_t total = header ? 8u + (FBuffer[4] | FBuffer[5] << 8) : 0;
    if (FFirmwareMode) {
      if (header && FBuffer.size() >= total) {
        try {
          if (IsRequestCommand(FParser
                                   .Decode(TByteArray(FBuffer.begin(),
                                                      FBuffer.begin() + static_cast<long>(total)))
                                   .Command) ||
              total == 520)
            return take(total);
        } catch (const EPacketError&) {
        }
      }
      if (FBuffer.size() >= 520) return take(520);  // a raw firmware packet
      return false;
    }
    if (FBuffer.size() < 8 && FBuffer[0] == 0x02) return false;
    if (!header) {  // not the start of a packet: skip it
      FBuffer.erase(FBuffer.begin());
      continue;
    }
    if (FBuffer.size() < total) return false;
    return take(total);
  }
  return false;
}

void TSimDevice::Answer(TSimAnswer& answer, const TByteArray& bytes, const std::string& text) {
  answer.Writes.push_back(bytes);
  answer.AnswerText = text;
  FLastAnswer = bytes;
}

void TSimDevice::Reply(TSimAnswer& answer, const std::string& word) {
  TPacket p;
  p.PacketCount = p.PacketNumber = 1;
  p.Command = word;
  Answer(answer, FParser.Encode(p, ""), word);
}

TSimAnswer TSimDevice::Handle(const TByteArray& request) {
  TSimAnswer answer;
  answer.Request = request;
  const int number = ++FRequests;
  TSimFault fault = TSimFault::None;
  if (const auto it = FFaults.find(number); it != FFaults.end()) {
    fault = it->second;
    FFaults.erase(it);
  }

  TPacket packet;
  bool decoded = false;
  try {
    packet = FParser.Decode(request);
    decoded = true;
    answer.RequestText = Describe(packet);
  } catch (const EPacketError& e) {
    answer.RequestText = "undecodable (" + e.Key() + ")";
  }
  const bool firmwarePacket = FFirmwareMode && !(decoded && IsRequestCommand(packet.Command));
  if (firmwarePacket)
    answer.RequestText = "firmware packet " + std::to_string(FFirmwarePackets + 1);

  switch (fault) {
    case TSimFault::Silent:
      answer.AnswerText = "(silent)";
      return answer;
    case TSimFault::Crc:
      Reply(answer, "CRCERROR");
      return answer;
    case TSimFault::Wrong:
      Reply(answer, "WRONG");
      return answer;
    case TSimFault::Abort:
      Reply(answer, "ABORT");
      return answer;
    case TSimFault::Vanish:
      answer.AnswerText = "(the port vanishes)";
      answer.Vanish = true;
      return answer;
    default:
      break;
  }

  if (firmwarePacket) {
    HandleFirmwarePacket(answer, request);
  } else if (!decoded) {
    Reply(answer, "CRCERROR");
  } else {
    const std::string& command = packet.Command;
    if (command != "F4" && command != "FE" && !FPendingAccessCode.empty()) {
      FActiveAccessCode = FPendingAccessCode;  // a written code counts once the write is over
      FPendingAccessCode.clear();
    }
    if (command != "FE") FFirmwareMode = false;
    const bool codeOk = CodeField(request) == AccessCode();
    if (command == "F0") {
      TPacket status;
      status.PacketCount = status.PacketNumber = 1;
      status.Command = "F1";
      status.Data = {{"000", "VX8"}, {"001", FConfig.Serial}, {"002", VersionText()}};
      Answer(answer, FParser.Encode(status, ""), Describe(status));
    } else if (command == "F2" || command == "F5") {
      if (!codeOk) {
        Reply(answer, "WRONG");
      } else {
        if (command == "F5") {
          FSettings = FactorySettings(FConfig.Generation, FConfig.FactoryAccessCode);
          FActiveAccessCode = FConfig.FactoryAccessCode;
          FChanged = true;
        }
        StartTransfer(answer);
      }
    } else if (command == "FF") {
      const std::size_t n = packet.PacketNumber;
      if (!FTransfer.empty() && n >= 1 && n < FTransfer.size())
        SendTransferPacket(answer, n);
      else
        FTransfer.clear();  // the closing acknowledgement: nothing answers it
    } else if (command == "F4") {
      if (!codeOk) {
        Reply(answer, "WRONG");
      } else {
        for (const TPacketData& item : packet.Data) {
          FSettings[item.Code] = item.Value;
          if (item.Code == "012") FPendingAccessCode = item.Value;
        }
        FChanged = true;
        Reply(answer, "OK");
      }
    } else if (command == "FA") {
      FOfferedVersion.clear();
      for (const TPacketData& item : packet.Data) FOfferedVersion += item.Code + item.Value;
      if (!codeOk) {
        Reply(answer, "WRONG");
      } else if (FOfferedVersion == FirmwareVersion()) {
        Reply(answer, "VERNROK");
      } else {
        FFirmwareMode = true;
        FFirmwarePackets = 0;
        Reply(answer, "READY");
      }
    } else if (command == "FE") {
      if (!FLastAnswer.empty()) {
        answer.Writes.push_back(FLastAnswer);
        answer.AnswerText = "(the last answer again)";
      }
    } else {
      answer.AnswerText = "(not a request)";
    }
  }

  if (fault == TSimFault::Split && !answer.Writes.empty()) {
    const TByteArray whole = answer.Writes.front();
    const auto half = whole.begin() + static_cast<long>(whole.size() / 2);
    answer.Writes = {TByteArray(whole.begin(), half), TByteArray(half, whole.end())};
    answer.GapMs = kSplitGapMs;
    answer.AnswerText += " (split)";
  } else if (fault == TSimFault::Garbage) {
    answer.Writes = {TByteArray{0x55, 0xAA, 0x13, 0x37, 0x00, 0xFF, 0x42, 0x02, 0x01}};
    answer.AnswerText = "(garbage)";
  }
  return answer;
}

void TSimDevice::StartTransfer(TSimAnswer& answer) {
  FTransfer.clear();
  TPacket* group = nullptr;
  for (const auto& [code, value] : FSettings) {
    if (!group || group->Data.front().Code[0] != code[0]) {
      FTransfer.emplace_back();
      group = &FTransfer.back();
      group->Command = "F1";
    }
    group->Data.push_back({code, value});
  }
  // The lists come last: the selectors pick their choice only when a list arrives.
  TPacket panels, languages;
  panels.Command = languages.Command = "F3";
  for (int i = 0; i < 4; ++i) {
    panels.Data.push_back({std::to_string(600 + i), kPanelTypes[i]});
    languages.Data.push_back({std::to_string(800 + i), kSmsLanguages[i]});
  }
  FTransfer.push_back(panels);
  FTransfer.push_back(languages);
  for (std::size_t i = 0; i < FTransfer.size(); ++i) {
    FTransfer[i].PacketCount = static_cast<std::uint8_t>(FTransfer.size());
    FTransfer[i].PacketNumber = static_cast<std::uint8_t>(i + 1);
  }
  SendTransferPacket(answer, 0);
}

void TSimDevice::SendTransferPacket(TSimAnswer& answer, std::size_t index) {
  Answer(answer, FParser.Encode(FTransfer[index], ""), Describe(FTransfer[index]));
}

void TSimDevice::HandleFirmwarePacket(TSimAnswer& answer, const TByteArray& request) {
  ++FFirmwarePackets;
  Reply(answer, "OK");
  try {
    const TPacket p = FParser.Decode(request);
    answer.RequestText +=
        " (" + std::to_string(p.PacketNumber) + "/" + std::to_string(p.PacketCount) + ")";
    if (p.PacketNumber == p.PacketCount) {
      FFirmwareMode = false;
      if (FOfferedVersion.size() == 4) {
        const std::string major = FOfferedVersion.substr(0, 2);
        FVersion = (major[0] == '0' ? major.substr(1) : major) + "." + FOfferedVersion.substr(2);
      }
      FChanged = true;
      answer.AnswerText += " (upload complete, now " + VersionText() + ")";
    }
  } catch (const EPacketError&) {
    // A raw packet is simply counted.
  }
}

std::string TSimDevice::FirmwareVersion() const {
  const std::size_t dot = FVersion.find('.');
  if (dot == std::string::npos) return {};
  auto pair = [](std::string s) {
    while (s.size() < 2) s.insert(s.begin(), '0');
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
  };
  return pair(FVersion.substr(0, dot)) + pair(FVersion.substr(dot + 1));
}

std::string MakeTestFirmware(int packets, const std::string& versionLine) {
  static const char hex[] = "0123456789ABCDEF";
  const TPacketParser parser;
  std::string image;
  for (int i = 1; i <= packets; ++i) {
    // "PRG\n" + "000" + 502 characters + "\n" + CR + one byte of fill = 512.
    std::string value(502, ' ');
    for (std::size_t k = 0; k < value.size(); ++k)
      value[k] = static_cast<char>('A' + (i + static_cast<int>(k)) % 26);
    TPacket p;
    p.PacketCount = static_cast<std::uint8_t>(packets);
    p.PacketNumber = static_cast<std::uint8_t>(i);
    p.Command = "PRG";
    p.Data = {{"000", value}};
    for (std::uint8_t b : parser.Encode(p, "")) {
      image += hex[b >> 4];
      image += hex[b & 0xF];
      image += ' ';
    }
  }
  return versionLine + "\r\n" + image + "\r\n";
}
