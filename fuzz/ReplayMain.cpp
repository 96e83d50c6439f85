// Runs a fuzz target over every file below the folders named on the command
// line, as libFuzzer replays a corpus; the normal build links the targets
// with this, so every test run checks the seed corpora.
#include <QDirIterator>
#include <QFile>

#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    int inputs = 0;
    for (int i = 1; i < argc; ++i) {
        for (QDirIterator it(QFile::decodeName(argv[i]), QDir::Files, QDirIterator::Subdirectories);
             it.hasNext(); ++inputs) {
            QFile input(it.next());
            const QByteArray bytes =
                input.open(QIODevice::ReadOnly) ? input.readAll() : QByteArray();
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                   static_cast<std::size_t>(bytes.size()));
        }
    }
    std::printf("%d inputs replayed\n", inputs);
    return inputs > 0 ? 0 : 1;
}
