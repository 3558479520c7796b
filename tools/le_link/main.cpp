// le_link: links a virtual device into an LE file, and checks one.
//   le_link link --name NAME --description TEXT INPUT.o OUTPUT.vxd
//   le_link check FILE.vxd [--against INPUT.o]
// `check` reads the file with the validating reader and prints what it
// holds; with --against it also compares every object byte, fixup and the
// descriptor export with what the ELF object links to.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "elf_input.h"
#include "le_reader.h"
#include "le_writer.h"

namespace {

using vc::le::Module;

bool ReadFile(const std::string& path, std::vector<uint8_t>& bytes) {
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (!in) return false;
    bytes.clear();
    uint8_t block[4096];
    size_t got = 0;
    while ((got = std::fread(block, 1, sizeof block, in)) > 0) bytes.insert(bytes.end(), block, block + got);
    const bool ok = !std::ferror(in);
    std::fclose(in);
    return ok;
}

// Writes beside the target and renames, so a failed run leaves no half file.
bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
    const std::string partial = path + ".partial";
    std::FILE* out = std::fopen(partial.c_str(), "wb");
    if (!out) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    if (std::fclose(out) != 0 || !written) {
        std::filesystem::remove(partial);
        return false;
    }
    std::error_code error;
    std::filesystem::rename(partial, path, error);
    if (error) std::filesystem::remove(partial);
    return !error;
}

int Fail(const std::string& what) {
    std::fprintf(stderr, "le_link: %s\n", what.c_str());
    return 1;
}

// The first difference between what the file holds and what was linked.
std::string Difference(const Module& file, const Module& linked) {
    if (file.name != linked.name) return "module name '" + file.name + "', linked '" + linked.name + "'";
    if (!(file.descriptor == linked.descriptor)) return "the ordinal-1 export differs";
    if (file.objects.size() != linked.objects.size()) return "object count differs";
    for (size_t i = 0; i < file.objects.size(); ++i) {
        const auto& a = file.objects[i];
        const auto& b = linked.objects[i];
        const std::string name = "object " + std::to_string(i + 1);
        if (a.flags != b.flags || a.virtualSize != b.virtualSize) return name + ": flags or size differ";
        if (a.fixups != b.fixups) return name + ": fixups differ";
        for (size_t k = 0; k < a.bytes.size(); ++k)
            if (a.bytes[k] != b.bytes[k]) return name + ": byte at offset " + std::to_string(k) + " differs";
    }
    return file == linked ? "" : "header fields differ";
}

int Link(const std::vector<std::string>& args) {
    std::string name, description, input, output;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--name" && i + 1 < args.size()) name = args[++i];
        else if (args[i] == "--description" && i + 1 < args.size()) description = args[++i];
        else if (input.empty()) input = args[i];
        else if (output.empty()) output = args[i];
        else return Fail("link: unexpected argument '" + args[i] + "'");
    }
    if (name.empty() || description.empty() || input.empty() || output.empty())
        return Fail("usage: le_link link --name NAME --description TEXT INPUT.o OUTPUT.vxd");
    std::vector<uint8_t> elf;
    if (!ReadFile(input, elf)) return Fail(input + ": cannot be read");
    const auto linked = vc::le::LinkElfObject(elf, name, description);
    if (!linked.ok()) return Fail(input + ": " + linked.error);
    std::string error;
    const auto file = vc::le::WriteLe(linked.module, error);
    if (file.empty()) return Fail(output + ": " + error);
    if (!WriteFileAtomically(output, file)) return Fail(output + ": cannot be written");
    return 0;
}

int Check(const std::vector<std::string>& args) {
    std::string path, against;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--against" && i + 1 < args.size()) against = args[++i];
        else if (path.empty()) path = args[i];
        else return Fail("check: unexpected argument '" + args[i] + "'");
    }
    if (path.empty()) return Fail("usage: le_link check FILE.vxd [--against INPUT.o]");
    std::vector<uint8_t> bytes;
    if (!ReadFile(path, bytes)) return Fail(path + ": cannot be read");
    const auto read = vc::le::ReadLe(bytes);
    if (!read.ok()) return Fail(path + ": " + read.error);
    const Module& m = read.module;
    size_t fixups = 0;
    for (const auto& o : m.objects) fixups += o.fixups.size();
    std::printf("%s: virtual device %s (\"%s\"), %zu bytes, %zu objects, %u pages, %zu fixups in %u records, "
                "ordinal 1 %s at object %u + 0x%X\n",
                path.c_str(), m.name.c_str(), m.description.c_str(), bytes.size(), m.objects.size(), read.pageCount,
                fixups, read.fixupRecordCount, m.descriptor.name.c_str(), m.descriptor.object, m.descriptor.offset);
    if (against.empty()) return 0;
    std::vector<uint8_t> elf;
    if (!ReadFile(against, elf)) return Fail(against + ": cannot be read");
    const auto linked = vc::le::LinkElfObject(elf, m.name, m.description);
    if (!linked.ok()) return Fail(against + ": " + linked.error);
    if (std::string d = Difference(m, linked.module); !d.empty()) return Fail(path + " differs from " + against + ": " + d);
    std::printf("%s: every object byte, fixup and the descriptor export match %s\n", path.c_str(), against.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return Fail("usage: le_link link|check ...");
    const std::string command = args.front();
    args.erase(args.begin());
    if (command == "link") return Link(args);
    if (command == "check") return Check(args);
    return Fail("unknown command '" + command + "'");
}
