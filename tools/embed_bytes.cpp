// Turns a file into a C++ source that defines its bytes:
//   embed_bytes INPUT OUTPUT.cpp SYMBOL
// defines `const unsigned char SYMBOL[]` and `const std::size_t SYMBOLSize`.

#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: embed_bytes INPUT OUTPUT SYMBOL\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << "embed_bytes: cannot read " << argv[1] << '\n';
        return 1;
    }
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const std::string symbol = argv[3];
    std::string out = "#include <cstddef>\n// Generated from " + std::string(argv[1]) + "\n";
    out += "extern const unsigned char " + symbol + "[];\nextern const std::size_t " + symbol + "Size;\n";
    out += "const unsigned char " + symbol + "[] = {";
    static const char kHex[] = "0123456789abcdef";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        out += (i % 16 == 0) ? "\n" : "";
        out += "0x";
        out += kHex[b >> 4];
        out += kHex[b & 15];
        out += ',';
    }
    out += "\n0};  // one spare byte keeps an empty input a valid array\n";
    out += "const std::size_t " + symbol + "Size = " + std::to_string(bytes.size()) + ";\n";
    std::ofstream file(argv[2], std::ios::binary | std::ios::trunc);
    file << out;
    if (!file.flush()) {
        std::cerr << "embed_bytes: cannot write " << argv[2] << '\n';
        return 1;
    }
    return 0;
}
