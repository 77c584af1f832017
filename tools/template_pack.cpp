// Builds the program's template package from readable sources.
//
//   template_pack OUT.chm NAME=text:FILE | NAME=binary:FILE | NAME=zeros:COUNT ...
//
// A text source is UTF-8 with LF line ends; it is stored as Windows-1251 with
// CR LF, and "@SITE_HOME_URL@" is replaced by the site's address. Entries are
// written in the order given.

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "template/TemplatePackageWriter.h"
#include "text/Cp1251.h"
#include "text/Text.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string TextEntry(const std::string& path) {
    std::string source = ReadFile(path);
    if (source.find('\r') != std::string::npos) throw std::runtime_error(path + ": CR found; sources use LF line ends");
    const std::string placeholder = "@SITE_HOME_URL@";
    for (std::size_t at; (at = source.find(placeholder)) != std::string::npos;)
        source.replace(at, placeholder.size(), kSiteHomeUrl);
    const std::string bytes = cp1251::FromUtf8(source);
    // Decoding is total, so only a source the code page holds whole comes
    // back unchanged; a literal "&#" in it does not hide a lost character.
    if (cp1251::ToUtf8(bytes) != source) throw std::runtime_error(path + ": a character Windows-1251 cannot hold");
    std::string out;
    for (char c : bytes) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: template_pack OUT NAME=KIND:SOURCE...\n";
        return 2;
    }
    try {
        std::vector<TemplateSourceEntry> entries;
        for (int i = 2; i < argc; ++i) {
            const std::string arg = argv[i];
            const auto eq = arg.find('=');
            const auto colon = arg.find(':', eq);
            if (eq == std::string::npos || colon == std::string::npos)
                throw std::runtime_error("bad entry argument: " + arg);
            const std::string name = arg.substr(0, eq);
            const std::string kind = arg.substr(eq + 1, colon - eq - 1);
            const std::string source = arg.substr(colon + 1);
            TemplateSourceEntry entry{name, {}, kind == "text"};
            std::string bytes;
            if (kind == "text")
                bytes = TextEntry(source);
            else if (kind == "binary")
                bytes = ReadFile(source);
            else if (kind == "zeros")
                bytes.assign(std::stoul(source), '\0');
            else
                throw std::runtime_error("unknown kind: " + kind);
            entry.data.assign(bytes.begin(), bytes.end());
            entries.push_back(std::move(entry));
        }
        const std::vector<unsigned char> package = WriteTemplatePackage(entries);
        std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(package.data()), static_cast<std::streamsize>(package.size()));
        if (!out.flush()) throw std::runtime_error(std::string("cannot write ") + argv[1]);
    } catch (const std::exception& e) {
        std::cerr << "template_pack: " << e.what() << '\n';
        std::remove(argv[1]);
        return 1;
    }
    return 0;
}
