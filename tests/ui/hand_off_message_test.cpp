// SPDX-License-Identifier: GPL-3.0-or-later
// The message between a later launch and the running window: what goes in comes out, byte for byte, and
// anything else is refused without reading past its end.
#include "ui/HandOffMessage.h"

#include <QTest>
#include <QtEndian>

namespace {

HandOffMessage sample() {
    HandOffMessage message;
    message.request.direction = LaunchDirection::Decrypt;
    message.request.paths = {"/home/u/a.txt.brisklet", QByteArray("/home/u/caf\xe9 \xff\xfe.brisklet"),
                             "/home/u/new\nline", "/home/u/folder"};
    message.activationToken = "kwin-4321_TIME987654";
    return message;
}

// The bytes with the 32-bit number at the offset replaced.
QByteArray withNumberAt(QByteArray bytes, qsizetype offset, uint32_t value) {
    const uint32_t big = qToBigEndian(value);
    bytes.replace(offset, 4, reinterpret_cast<const char*>(&big), 4);
    return bytes;
}

// Where the fields of sample() lie: magic 8, version 2, direction 1, then the token's length.
constexpr qsizetype kTokenLengthAt = 11;
constexpr qsizetype kCountAt = kTokenLengthAt + 4 + 20;

} // namespace

class HandOffMessageTest : public QObject {
    Q_OBJECT

private slots:
    void aMessageComesBackAsItWasSent_data();
    void aMessageComesBackAsItWasSent();
    void theLayoutIsFixed();
    void everyShorterPrefixIsRefused();
    void aMessageOfAnotherKindIsRefused_data();
    void aMessageOfAnotherKindIsRefused();
};

void HandOffMessageTest::aMessageComesBackAsItWasSent_data() {
    QTest::addColumn<HandOffMessage>("message");
    QTest::newRow("paths in no encoding, a token") << sample();
    QTest::newRow("nothing: a launch without files") << HandOffMessage{};
    HandOffMessage encrypt;
    encrypt.request.direction = LaunchDirection::Encrypt;
    encrypt.request.paths = {"/", QByteArray(HandOffMessage::kMaxPathBytes, 'a').replace(0, 1, "/")};
    QTest::newRow("the shortest and the longest path") << encrypt;
}

void HandOffMessageTest::aMessageComesBackAsItWasSent() {
    QFETCH(HandOffMessage, message);
    const std::optional<HandOffMessage> decoded = HandOffMessage::decode(message.encode());
    QVERIFY(decoded.has_value());
    QCOMPARE(*decoded, message);
}

// Launches of other builds of the same version must understand each other.
void HandOffMessageTest::theLayoutIsFixed() {
    HandOffMessage message;
    message.request.direction = LaunchDirection::Encrypt;
    message.request.paths = {QByteArray("/\xff")};
    message.activationToken = "t";
    QCOMPARE(message.encode(), QByteArray("BRSKHAND"
                                          "\x00\x01"
                                          "\x01"
                                          "\x00\x00\x00\x01"
                                          "t"
                                          "\x00\x00\x00\x01"
                                          "\x00\x00\x00\x02"
                                          "/\xff",
                                          8 + 2 + 1 + 4 + 1 + 4 + 4 + 2));
}

// A launch killed mid-write leaves any prefix behind; none of them may be read as a message.
void HandOffMessageTest::everyShorterPrefixIsRefused() {
    const QByteArray whole = sample().encode();
    for (qsizetype length = 0; length < whole.size(); ++length) {
        QVERIFY2(!HandOffMessage::decode(QByteArrayView(whole).first(length)),
                 qPrintable(QString::number(length)));
    }
}

void HandOffMessageTest::aMessageOfAnotherKindIsRefused_data() {
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray whole = sample().encode();
    QTest::newRow("another magic") << QByteArray(whole).replace(0, 1, "X");
    QTest::newRow("a later version") << QByteArray(whole).replace(9, 1, "\x02");
    QTest::newRow("version 0") << QByteArray(whole).replace(9, 1, QByteArray(1, '\0'));
    QTest::newRow("an unknown direction") << QByteArray(whole).replace(10, 1, "\x03");
    QTest::newRow("bytes after the end") << whole + '\0';
    QTest::newRow("a token longer than the message") << withNumberAt(whole, kTokenLengthAt, 0xffffffffu);
    QTest::newRow("more paths than bytes") << withNumberAt(whole, kCountAt, 0x7fffffffu);
    QTest::newRow("fewer paths than given") << withNumberAt(whole, kCountAt, 3);
    QTest::newRow("a path longer than the message") << withNumberAt(whole, kCountAt + 4, 0xfffffff0u);

    auto encoded = [](const QByteArray& token, const QByteArray& path) {
        HandOffMessage message;
        message.activationToken = token;
        message.request.paths = {path};
        return message.encode();
    };
    QTest::newRow("a relative path") << encoded("", "relative/a.txt");
    QTest::newRow("an empty path") << encoded("", "");
    QTest::newRow("a NUL in a path") << encoded("", QByteArray("/a\0b", 4));
    QTest::newRow("a path longer than any")
        << encoded("", "/" + QByteArray(HandOffMessage::kMaxPathBytes, 'a'));
    QTest::newRow("a token with a space") << encoded("a b", "/a");
    QTest::newRow("a token with a control character") << encoded("a\x1b", "/a");
}

void HandOffMessageTest::aMessageOfAnotherKindIsRefused() {
    QFETCH(QByteArray, bytes);
    QVERIFY(!HandOffMessage::decode(bytes).has_value());
}

QTEST_MAIN(HandOffMessageTest)
#include "hand_off_message_test.moc"
