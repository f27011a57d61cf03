// quorven-check FILE: checks the telegram written as hex text in FILE and
// prints its fixed data header.
#include "interpret/interpreter.h"

#include <QByteArray>
#include <QFile>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: quorven-check FILE\n");
        return 2;
    }
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "Cannot open file %s\n", argv[1]);
        return 2;
    }
    const QByteArray bytes = QByteArray::fromHex(file.read(4096));
    quorven::Interpreter in;
    in.StoreTelegram(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                               static_cast<std::size_t>(bytes.size())));
    if (!in.CheckTelegram()) {
        std::printf("invalid: %s\n", in.TelegramError().c_str());
        return 1;
    }
    std::printf("address %d, identification %s, manufacturer %s, version %d, medium %s, "
                "status $%02X\n",
                in.PrimaryAddress(), in.IdentNumber().c_str(), in.ManufacturerCode().c_str(),
                in.VersionByte(), in.MediumText().c_str(), in.StatusByte());
    return 0;
}
