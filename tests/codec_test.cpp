#include <gtest/gtest.h>

#include <random>
#include <set>

#include "codec/PacketParser.h"
#include "codec/Q_Blowfish_simple.h"
#include "codec/Q_CRC16.h"

namespace {

TByteArray Bytes(const std::string& s) {
  return TByteArray(s.begin(), s.end());
}

// Wraps a hand-made plain body into a packet, for the line-rule tests.
TByteArray Wrap(const TByteArray& body, std::uint8_t count = 1, std::uint8_t number = 1) {
  const std::uint16_t crc = Crc16(body);
  TByteArray out = {0x02,
                    count,
                    number,
                    0x00,
                    static_cast<std::uint8_t>(body.size() & 0xFF),
                    static_cast<std::uint8_t>(body.size() >> 8),
                    static_cast<std::uint8_t>(crc & 0xFF),
                    static_cast<std::uint8_t>(crc >> 8)};
  const TByteArray cipher = BlowfishEncryptBuffer(body, PacketKey);
  out.insert(out.end(), cipher.begin(), cipher.end());
  return out;
}

TByteArray Pad(TByteArray body) {
  body.insert(body.end(), 8 - body.size() % 8, 0x00);
  return body;
}

std::string DecodeError(const TByteArray& bytes) {
  try {
    TPacketParser().Decode(bytes);
  } catch (const EPacketError& e) {
    return e.Key();
  }
  return "decoded";
}

// The encoded F0 request and the OK reply, worked out by hand.
const TByteArray kF0Request = {0x02, 0x01, 0x01, 0x00, 0x10, 0x00, 0x5D, 0x2A,
                               0x0F, 0x25, 0xB5, 0x00, 0x55, 0xE4, 0x7A, 0x32,
                               0x4C, 0xDB, 0xCA, 0x9C, 0x4F, 0x02, 0x59, 0xF6};
const TByteArray kF0PlainBody = {0x46, 0x30, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07,
                                 0x0A, 0x0D, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
const TByteArray kOkReply = {0x02, 0x01, 0x01, 0x00, 0x08, 0x00, 0xBD, 0x30,
                             0xC7, 0x3F, 0xBA, 0x1C, 0x98, 0x00, 0xF5, 0x55};

}  // namespace

TEST(Cipher, FFunctionKnownAnswers) {
  using blowfish_detail::F;
  EXPECT_EQ(F(0x00000000u), 0x2FCFF51Eu);
  EXPECT_EQ(F(0xFFFFFFFFu), 0xCB3A5E7Bu);
  EXPECT_EQ(F(0x01234567u), 0xC4B6AAF6u);
  // Only the low nibble of each byte selects an entry.
  EXPECT_EQ(F(0xF0F0F0F0u), 0x2FCFF51Eu);
  EXPECT_EQ(F(0x0F0F0F0Fu), 0xCB3A5E7Bu);
  EXPECT_EQ(F(0xA1B3C5D7u), 0xC4B6AAF6u);
  EXPECT_EQ(F(0x51E36597u), 0xC4B6AAF6u);
}

TEST(Cipher, KnownAnswerOfTheStatusRequestBody) {
  const TByteArray cipher(kF0Request.begin() + 8, kF0Request.end());
  EXPECT_EQ(BlowfishEncryptBuffer(kF0PlainBody, "8163027495"), cipher);
  EXPECT_EQ(BlowfishDecryptBuffer(cipher, "8163027495"), kF0PlainBody);
}

TEST(Cipher, RoundTripAndNoChaining) {
  std::mt19937 rng(7);
  for (int n = 0; n < 200; ++n) {
    TByteArray plain(8 * (rng() % 40));
    for (auto& b : plain) b = static_cast<std::uint8_t>(rng());
    const TByteArray cipher = BlowfishEncryptBuffer(plain, PacketKey);
    ASSERT_EQ(cipher.size(), plain.size());
    EXPECT_EQ(BlowfishDecryptBuffer(cipher, PacketKey), plain);
  }
  TByteArray twoBlocks = Bytes("ABCDEFGHxxxxxxxxABCDEFGH");
  const TByteArray c = BlowfishEncryptBuffer(twoBlocks, PacketKey);
  EXPECT_TRUE(std::equal(c.begin(), c.begin() + 8, c.begin() + 16));
  EXPECT_FALSE(std::equal(c.begin(), c.begin() + 8, c.begin() + 8));
}

TEST(Cipher, RefusedInputsGiveEmptyResults) {
  EXPECT_TRUE(BlowfishEncryptBuffer(TByteArray(12, 0x41), PacketKey).empty());
  EXPECT_TRUE(BlowfishDecryptBuffer(TByteArray(12, 0x41), PacketKey).empty());
  EXPECT_TRUE(BlowfishEncryptBuffer(TByteArray(16, 0x41), "").empty());
  EXPECT_TRUE(BlowfishEncryptBuffer(TByteArray(), PacketKey).empty());
}

TEST(Cipher, ShortKeyWrapsAround) {
  const TByteArray plain = Bytes("12345678abcdefgh");
  EXPECT_EQ(BlowfishEncryptBuffer(plain, "A"), BlowfishEncryptBuffer(plain, "AAAA"));
  EXPECT_NE(BlowfishEncryptBuffer(plain, "A"), BlowfishEncryptBuffer(plain, "B"));
}

TEST(Checksum, KnownAnswers) {
  EXPECT_EQ(Crc16(Bytes("123456789")), 0x2189);
  EXPECT_EQ(Crc16(TByteArray{0x5F}), 0x0072);  // the published table would give 0xAA72
  EXPECT_EQ(Crc16(kF0PlainBody), 0x2A5D);
  EXPECT_EQ(Crc16(TByteArray{0x4F, 0x4B, 0x0A, 0x0D, 0, 0, 0, 0}), 0x30BD);
  EXPECT_EQ(Crc16(TByteArray{0x01}), 0x1189);
  EXPECT_EQ(Crc16(TByteArray{0x80}), 0x8408);
}

TEST(Packet, EncodesTheStatusRequest) {
  TPacket request;
  request.PacketCount = 1;
  request.PacketNumber = 1;
  request.Command = "F0";
  EXPECT_EQ(TPacketParser().Encode(request, "anything"), kF0Request);
}

TEST(Packet, DecodesTheOkReply) {
  const TPacket reply = TPacketParser().Decode(kOkReply);
  EXPECT_EQ(reply.Command, "OK");
  EXPECT_EQ(reply.BodyLength, 8);
  EXPECT_EQ(reply.BodyCrc, 0x30BD);
  EXPECT_EQ(reply.PacketCount, 1);
  EXPECT_EQ(reply.PacketNumber, 1);
  EXPECT_TRUE(reply.Data.empty());

  TPacket ok;
  ok.PacketCount = ok.PacketNumber = 1;
  ok.Command = "OK";
  EXPECT_EQ(TPacketParser().Encode(ok, ""), kOkReply);
}

TEST(Packet, CodeFieldRules) {
  struct Case {
    std::string command, code, field;
  };
  const std::string bel(6, '\x07');
  const Case cases[] = {
      {"F0", "375100", bel},       {"F1", "1", bel},
      {"FF", "999999", bel},       {"FE", "", bel},
      {"F2", "3751", "375100"},    {"F5", "", "000000"},
      {"F4", "1234567", "123456"}, {"FA", "123456", "123456"},
  };
  for (const Case& c : cases) {
    TPacket p;
    p.PacketCount = p.PacketNumber = 1;
    p.Command = c.command;
    const TByteArray enc = TPacketParser().Encode(p, c.code);
    const TByteArray body =
        BlowfishDecryptBuffer(TByteArray(enc.begin() + 8, enc.end()), PacketKey);
    EXPECT_EQ(std::string(body.begin(), body.begin() + 9), c.command + c.field + "\n")
        << c.command << " " << c.code;
  }
}

TEST(Packet, FullBodyGetsEightBytesOfFill) {
  TPacket p;
  p.Command = "READY";  // "READY\n" + "010abcde\n" + CR = 16 bytes
  p.Data = {{"010", "abcde"}};
  const TByteArray enc = TPacketParser().Encode(p, "");
  ASSERT_EQ(enc.size(), 32u);
  EXPECT_EQ(enc[4], 24);
  EXPECT_EQ(enc[5], 0);
  const TByteArray body = BlowfishDecryptBuffer(TByteArray(enc.begin() + 8, enc.end()), PacketKey);
  EXPECT_EQ(body, Pad(Bytes("READY\n010abcde\n\r")));
  EXPECT_EQ(TByteArray(body.begin() + 16, body.end()), TByteArray(8, 0));
}

TEST(Packet, EncodeRefusesABodyTooLongForTheLengthField) {
  TPacket p;
  p.Command = "OK";  // body = value length + 8 before the fill
  p.Data = {{"010", std::string(65519, 'x')}};
  const TByteArray largest = TPacketParser().Encode(p, "");
  EXPECT_EQ(largest[4] | largest[5] << 8, 65528);
  p.Data[0].Value.push_back('x');
  EXPECT_THROW(TPacketParser().Encode(p, ""), std::length_error);
}

TEST(Packet, DecodeChecksInOrder) {
  struct Case {
    const char* what;
    TByteArray bytes;
    std::string key;
  };
  TByteArray badId(16, 0);
  badId[0] = 0x03;
  badId[3] = 0x01;
  TByteArray badHeader(16, 0);
  badHeader[0] = 0x02;
  badHeader[3] = 0x01;
  TByteArray badLength = kF0Request;
  badLength[4] = 0x08;
  TByteArray badCrcField = kOkReply;
  badCrcField[6] ^= 0x01;
  TByteArray badCipher = kOkReply;
  badCipher[9] ^= 0x40;
  const Case cases[] = {
      {"empty", {}, "ErrorBadPacketSize"},
      {"15 bytes", TByteArray(15, 0x55), "ErrorBadPacketSize"},
      {"17 bytes", TByteArray(17, 0x02), "ErrorBadPacketSize"},
      {"23 bytes", TByteArray(23, 0x00), "ErrorBadPacketSize"},
      {"byte 0 is 0x03", badId, "ErrorBadHeaderIdentifier"},
      {"byte 3 is 0x01", badHeader, "ErrorBadHeader"},
      {"length says 8 of 16", badLength, "ErrorHeaderLength"},
      {"crc field changed", badCrcField, "ErrorBadCRC"},
      {"cipher byte changed", badCipher, "ErrorBadCRC"},
      {"sent packet with the link's zero byte",
       [] {
         TByteArray b = kF0Request;
         b.push_back(0);
         return b;
       }(),
       "ErrorBadPacketSize"},
  };
  for (const Case& c : cases) EXPECT_EQ(DecodeError(c.bytes), c.key) << c.what;
}

TEST(Packet, LineRules) {
  // F1 with its code field, an item, a two-character line, then CR.
  const TPacket f1 = TPacketParser().Decode(
      Wrap(Pad(Bytes(std::string("F1") + std::string(6, '\x07') + "\n010abc\n02\n\r"))));
  EXPECT_EQ(f1.Command, "F1");
  ASSERT_EQ(f1.Data.size(), 2u);
  EXPECT_EQ(f1.Data[0].Code, "010");
  EXPECT_EQ(f1.Data[0].Value, "abc");
  EXPECT_EQ(f1.Data[1].Code, "02");
  EXPECT_EQ(f1.Data[1].Value, "");

  // Empty lines skipped; an unterminated line and everything after CR ignored.
  const TPacket word =
      TPacketParser().Decode(Wrap(Pad(Bytes("\nVERNROK\n\n010 a b\n011tail\r012after\n"))));
  EXPECT_EQ(word.Command, "VERNROK");
  ASSERT_EQ(word.Data.size(), 1u);
  EXPECT_EQ(word.Data[0].Value, " a b");

  // A body with no CR at all ends at its last byte.
  const TPacket noCr = TPacketParser().Decode(Wrap(Bytes("OK\n010x\n")));
  EXPECT_EQ(noCr.Command, "OK");
  EXPECT_EQ(noCr.Data.size(), 1u);
}

TEST(Packet, RoundTripOfRandomPackets) {
  std::mt19937 rng(42);
  auto randomText = [&](std::size_t maxLen) {
    std::string s(rng() % (maxLen + 1), ' ');
    for (auto& ch : s) {
      do ch = static_cast<char>(rng());
      while (ch == '\n' || ch == '\r');
    }
    return s;
  };
  for (int n = 0; n < 500; ++n) {
    TPacket p;
    p.PacketCount = static_cast<std::uint8_t>(rng());
    p.PacketNumber = static_cast<std::uint8_t>(rng());
    if (rng() % 2) {
      p.Command = std::string("F") + "0123456789ABCDEF"[rng() % 16];
    } else {
      do p.Command = randomText(10);
      while (p.Command.empty() || p.Command[0] == 'F');
    }
    for (unsigned i = 0, items = rng() % 12; i < items; ++i) {
      std::string code = randomText(3);
      code.resize(3, '0');
      p.Data.push_back({code, randomText(40)});
    }
    const TPacket back = TPacketParser().Decode(TPacketParser().Encode(p, randomText(8)));
    ASSERT_EQ(back.PacketCount, p.PacketCount);
    ASSERT_EQ(back.PacketNumber, p.PacketNumber);
    ASSERT_EQ(back.Command, p.Command);
    ASSERT_EQ(back.Data.size(), p.Data.size());
    for (std::size_t i = 0; i < p.Data.size(); ++i) {
      ASSERT_EQ(back.Data[i].Code, p.Data[i].Code);
      ASSERT_EQ(back.Data[i].Value, p.Data[i].Value);
    }
  }
}

TEST(Packet, RandomBuffersDecodeOrFailWithAKey) {
  std::mt19937 rng(1);
  const std::set<std::string> keys = {"ErrorBadPacketSize", "ErrorBadHeaderIdentifier",
                                      "ErrorBadHeader", "ErrorHeaderLength", "ErrorBadCRC"};
  for (int n = 0; n < 2000; ++n) {
    TByteArray b(rng() % 64);
    for (auto& x : b) x = static_cast<std::uint8_t>(rng());
    if (!b.empty() && rng() % 2) b[0] = 0x02;
    if (b.size() > 5 && rng() % 2) {
      b[3] = 0;
      b[4] = static_cast<std::uint8_t>(b.size() - 8);
      b[5] = 0;
    }
    const std::string result = DecodeError(b);
    EXPECT_TRUE(result == "decoded" || keys.count(result)) << result;
  }
}

TEST(HexText, ConvertsPairsAndRejectsNonHex) {
  EXPECT_EQ(HexTextToBytes("0a1BfF"), (TByteArray{0x0A, 0x1B, 0xFF}));
  EXPECT_EQ(HexTextToBytes("0a1"), (TByteArray{0x0A}));
  EXPECT_TRUE(HexTextToBytes("").empty());
  EXPECT_EQ(HexTextToBytes("020101001000"), (TByteArray{0x02, 0x01, 0x01, 0x00, 0x10, 0x00}));
  EXPECT_THROW(HexTextToBytes("0g"), EConvertError);
  EXPECT_THROW(HexTextToBytes("12 4"), EConvertError);
}
