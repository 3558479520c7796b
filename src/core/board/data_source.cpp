#include "core/board/data_source.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <map>
#include <optional>
#include <set>
#include <string_view>

#include "core/base/text_field.h"
#include "core/base/text_lines.h"
#include "core/board/chip_block_read.h"
#include "core/board/record_notes.h"

namespace vc {
namespace {

// "smbus-base pci": the base is taken from PCI at detection.
constexpr const char* kBaseFromPciWord = "pci";

struct Token {
    std::string text;
    bool quoted = false;
};

struct Line {
    int number = 0;
    std::vector<Token> tokens;
};

// Where each field of one record was written, by its record field name.
struct RecordLines {
    int block = 0;
    std::map<std::string, int> fields;
    std::vector<int> entries;
};

class Compiler {
public:
    CompiledSources Run(const std::vector<SourceText>& sources) {
        for (const SourceText& source : sources) Parse(source);
        if (result_.errors.empty()) MapProblems();
        return std::move(result_);
    }

private:
    enum class Block { None, Board, ClockGen };

    void Error(int line, const std::string& message) {
        result_.errors.push_back(file_ + ":" + std::to_string(line) + ": " + message);
    }

    // Splits one line into words; false (after reporting) on an open quote.
    bool Tokenize(const std::string& text, int number, Line& line) {
        line.number = number;
        size_t i = 0;
        while (i < text.size()) {
            const char c = text[i];
            if (c == ' ' || c == '\t' || c == '\r') {
                ++i;
            } else if (c == '#') {
                break;
            } else if (c == '"') {
                const size_t close = text.find('"', i + 1);
                if (close == std::string::npos) {
                    Error(number, "quoted word without closing quote");
                    return false;
                }
                line.tokens.push_back({text.substr(i + 1, close - i - 1), true});
                i = close + 1;
            } else {
                size_t end = i;
                while (end < text.size() && text[end] != ' ' && text[end] != '\t' && text[end] != '\r' &&
                       text[end] != '#' && text[end] != '"') {
                    ++end;
                }
                line.tokens.push_back({text.substr(i, end - i), false});
                i = end;
            }
        }
        return true;
    }

    void Parse(const SourceText& source) {
        file_ = source.name;
        block_ = Block::None;
        int number = 0;
        for (const std::string& text : SplitLines(source.text)) {
            ++number;
            Line line;
            if (!Tokenize(text, number, line) || line.tokens.empty()) continue;
            Handle(line);
        }
        if (block_ != Block::None) Error(blockLine_, "block has no \"end\"");
        block_ = Block::None;
    }

    void Handle(const Line& line) {
        const std::string& key = line.tokens[0].text;
        if (block_ == Block::None) {
            if (key == "board" || key == "clockgen") {
                StartBlock(line, key == "board" ? Block::Board : Block::ClockGen);
            } else {
                Error(line.number, "expected \"board NAME\" or \"clockgen NAME\", found \"" + key + "\"");
            }
            return;
        }
        if (key == "end" && !line.tokens[0].quoted) {
            if (line.tokens.size() != 1) Error(line.number, "\"end\" takes no value");
            FinishBlock();
        } else if (key == "board" || (key == "clockgen" && block_ == Block::ClockGen)) {
            Error(line.number, "\"" + key + "\" inside a block (missing \"end\" for line " +
                                   std::to_string(blockLine_) + "?)");
        } else if (block_ == Block::Board) {
            BoardSetting(line);
        } else {
            ClockGenSetting(line);
        }
    }

    bool SetName(const Line& line, TextField& field, const char* what) {
        if (line.tokens.size() != 2) {
            Error(line.number, std::string(what) + " takes exactly one name");
            return false;
        }
        const std::string& name = line.tokens[1].text;
        for (const char c : name) {
            if (static_cast<unsigned char>(c) < 0x20) {
                Error(line.number, std::string(what) + " name holds a control character");
                return false;
            }
        }
        if (name.empty()) {
            Error(line.number, std::string(what) + " name is empty");
            return false;
        }
        if (!SetField(field, name)) {
            Error(line.number, std::string(what) + " name \"" + name + "\" is longer than 15 characters");
            return false;
        }
        return true;
    }

    void StartBlock(const Line& line, Block block) {
        block_ = block;
        blockLine_ = line.number;
        lines_ = RecordLines{};
        lines_.block = line.number;
        valid_ = true;
        seen_.clear();
        boardNotes_ = BoardNotes{};
        chipNotes_ = ClockGenNotes{};
        if (block == Block::Board) {
            board_ = BoardRecord{};
            valid_ = SetName(line, board_.biosId, "board");
        } else {
            chip_ = ClockGenRecord{};
            valid_ = SetName(line, chip_.name, "clockgen");
        }
        lines_.fields[block == Block::Board ? "biosId" : "name"] = line.number;
    }

    void FinishBlock() {
        const char* required[] = {"clockGenName", "smbusKind", "smbusBase", "maxBusRatio", "maxPciRatio"};
        if (block_ == Block::Board) {
            for (const char* field : required) {
                if (lines_.fields.count(field) == 0) {
                    Error(blockLine_, "board " + FieldText(board_.biosId) + " has no \"" + KeyOf(field) + "\"");
                    valid_ = false;
                }
            }
            if (valid_) {
                result_.db.boards.push_back(board_);
                result_.db.boardNotes.push_back(boardNotes_);
                boardLines_.push_back({file_, lines_});
            }
        } else if (valid_) {
            chip_.entryCount = static_cast<int32_t>(chip_.entries.size());
            result_.db.clockGens.push_back(chip_);
            result_.db.clockGenNotes.push_back(chipNotes_);
            chipLines_.push_back({file_, lines_});
        }
        block_ = Block::None;
    }

    static std::string KeyOf(const std::string& field) {
        static const std::map<std::string, std::string> keys{
            {"clockGenName", "clockgen"},  {"chipsetCode", "chipset"},    {"smbusKind", "smbus-kind"},
            {"smbusBase", "smbus-base"},   {"maxBusRatio", "max-bus"},    {"maxPciRatio", "max-pci"},
            {"maxMemRatio", "max-mem"},    {"firstByteMask", "mask"},     {"fineTune", "fine-tune"},
            {"readBack", "read-back"}};
        const auto found = keys.find(field);
        return found == keys.end() ? field : found->second;
    }

    std::optional<int64_t> Integer(const Line& line, size_t index, const std::string& what) {
        const std::string& text = line.tokens[index].text;
        int base = 10;
        size_t start = 0;
        if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
            base = 16;
            start = 2;
        }
        int64_t value = 0;
        const char* first = text.data() + start;
        const char* last = text.data() + text.size();
        const auto [end, error] = std::from_chars(first, last, value, base);
        const bool signedHex = base == 16 && text[start] == '-';
        if (text.empty() || signedHex || error != std::errc{} || end != last ||
            value < std::numeric_limits<int32_t>::min() ||
            value > std::numeric_limits<int32_t>::max()) {
            Error(line.number, what + ": \"" + text + "\" is not a 32-bit integer");
            return std::nullopt;
        }
        return value;
    }

    std::optional<double> Decimal(const Line& line, size_t index, const std::string& what) {
        const std::string& text = line.tokens[index].text;
        double value = 0.0;
        const char* last = text.data() + text.size();
        const auto [end, error] = std::from_chars(text.data(), last, value, std::chars_format::fixed);
        if (text.empty() || error != std::errc{} || end != last || !std::isfinite(value)) {
            Error(line.number, what + ": \"" + text + "\" is not a decimal number");
            return std::nullopt;
        }
        return value;
    }

    // A "key value" line: records where the field was set, refuses repeats.
    bool OneValue(const Line& line, const std::string& field) {
        const std::string& key = line.tokens[0].text;
        if (line.tokens.size() != 2) {
            Error(line.number, "\"" + key + "\" takes exactly one value");
            valid_ = false;
            return false;
        }
        if (!seen_.insert(field).second) {
            Error(line.number, "\"" + key + "\" is set twice in this block");
            valid_ = false;
            return false;
        }
        lines_.fields[field] = line.number;
        return true;
    }

    template <typename T, typename Parse>
    void Assign(const Line& line, const std::string& field, T& target, Parse parse) {
        if (!OneValue(line, field)) return;
        if (const auto value = (this->*parse)(line, 1, KeyOf(field))) {
            target = static_cast<T>(*value);
        } else {
            valid_ = false;
        }
    }

    void BoardSetting(const Line& line) {
        const std::string& key = line.tokens[0].text;
        if (key == "clockgen") {
            if (!seen_.insert("clockGenName").second) {
                Error(line.number, "\"clockgen\" is set twice in this block");
                valid_ = false;
                return;
            }
            lines_.fields["clockGenName"] = line.number;
            if (!SetName(line, board_.clockGenName, "clockgen")) valid_ = false;
        } else if (key == "chipset") {
            Assign(line, "chipsetCode", board_.chipsetCode, &Compiler::Integer);
        } else if (key == "smbus-kind") {
            Assign(line, "smbusKind", board_.smbusKind, &Compiler::Integer);
        } else if (key == "smbus-base") {
            if (line.tokens.size() == 2 && line.tokens[1].text == kBaseFromPciWord && !line.tokens[1].quoted) {
                if (OneValue(line, "smbusBase")) board_.smbusBase = kSmbusBaseFromPci;
            } else {
                Assign(line, "smbusBase", board_.smbusBase, &Compiler::Integer);
            }
        } else if (key == "max-bus") {
            Assign(line, "maxBusRatio", board_.maxBusRatio, &Compiler::Decimal);
        } else if (key == "max-pci") {
            Assign(line, "maxPciRatio", board_.maxPciRatio, &Compiler::Decimal);
        } else if (key == "max-mem") {
            Assign(line, "maxMemRatio", board_.maxMemRatio, &Compiler::Decimal);
        } else if (key == "verified" || key == "unverified") {
            Provenance(line);
        } else {
            Error(line.number, "unknown board setting \"" + key + "\"");
            valid_ = false;
        }
    }

    void ClockGenSetting(const Line& line) {
        const std::string& key = line.tokens[0].text;
        if (key == "mask") {
            Assign(line, "firstByteMask", chip_.firstByteMask, &Compiler::Integer);
        } else if (key == "fine-tune") {
            Assign(line, "fineTune", chip_.fineTune, &Compiler::Integer);
        } else if (key == "entry") {
            Entry(line);
        } else if (key == "source") {
            if (OneValue(line, "source")) chipNotes_.source = line.tokens[1].text;
        } else if (key == "read-back") {
            ReadBack(line);
        } else {
            Error(line.number, "unknown clockgen setting \"" + key + "\"");
            valid_ = false;
        }
    }

    // "verified SOURCE" or "unverified [SOURCE]": whether the board record was
    // checked against the board or its BIOS image, and what it rests on.
    void Provenance(const Line& line) {
        const bool verified = line.tokens[0].text == "verified";
        if (!seen_.insert("source").second) {
            Error(line.number, "the record is marked verified or unverified twice");
            valid_ = false;
            return;
        }
        lines_.fields["source"] = line.number;
        if (line.tokens.size() > 2 || (verified && line.tokens.size() != 2)) {
            Error(line.number, verified ? "\"verified\" takes the source it rests on, in double quotes"
                                        : "\"unverified\" takes at most one note, in double quotes");
            valid_ = false;
            return;
        }
        boardNotes_.verified = verified;
        if (line.tokens.size() == 2) boardNotes_.source = line.tokens[1].text;
    }

    // "read-back 0x02 0x1F/0x0F ...": the bytes a block read returns at
    // power-on; "/MASK" limits a byte to the bits that tell the chip.
    void ReadBack(const Line& line) {
        if (!seen_.insert("readBack").second) {
            Error(line.number, "\"read-back\" is set twice in this block");
            valid_ = false;
            return;
        }
        lines_.fields["readBack"] = line.number;
        if (line.tokens.size() < 2 || line.tokens.size() > kReadBackMax + 1) {
            Error(line.number, "read-back takes 1 to " + std::to_string(kReadBackMax) + " bytes");
            valid_ = false;
            return;
        }
        for (size_t i = 1; i < line.tokens.size(); ++i) {
            const std::string& word = line.tokens[i].text;
            const size_t slash = word.find('/');
            const auto value = ByteWord(line, word.substr(0, slash));
            const auto mask = slash == std::string::npos ? std::optional<uint8_t>(0xFF)
                                                         : ByteWord(line, word.substr(slash + 1));
            if (!value || !mask) {
                valid_ = false;
                return;
            }
            chipNotes_.readBack.push_back(*value);
            chipNotes_.readBackMask.push_back(*mask);
        }
    }

    std::optional<uint8_t> ByteWord(const Line& line, const std::string& text) {
        unsigned value = 0;
        const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
        const char* first = text.data() + (hex ? 2 : 0);
        const char* last = text.data() + text.size();
        const auto [end, error] = std::from_chars(first, last, value, 16);
        if (!hex || error != std::errc{} || end != last || value > 0xFF) {
            Error(line.number, "read-back: \"" + text + "\" is not a byte written 0x00..0xFF");
            return std::nullopt;
        }
        return static_cast<uint8_t>(value);
    }

    void Entry(const Line& line) {
        if (line.tokens.size() < 6 || line.tokens.size() > 7) {
            Error(line.number, "entry takes BUS PCI MEM BAND SELECT and an optional verified/unverified mark");
            valid_ = false;
            return;
        }
        if (line.tokens.size() == 7 && line.tokens[6].text != "unverified" && line.tokens[6].text != "verified") {
            Error(line.number, "entry mark \"" + line.tokens[6].text + "\" is not verified or unverified");
            valid_ = false;
        }
        if (chip_.entries.size() >= static_cast<size_t>(kMaxClockEntries)) {
            Error(line.number, "clockgen " + FieldText(chip_.name) + " has more than " +
                                   std::to_string(kMaxClockEntries) + " entries");
            valid_ = false;
            return;
        }
        ClockEntry entry;
        const auto bus = Decimal(line, 1, "entry bus");
        const auto pci = Decimal(line, 2, "entry pci");
        const auto mem = Decimal(line, 3, "entry mem");
        const auto band = Integer(line, 4, "entry band");
        const auto select = Integer(line, 5, "entry select");
        if (!bus || !pci || !mem || !band || !select) {
            valid_ = false;
            return;
        }
        if (*select < 0 || *select > 0xFF) {
            Error(line.number, "entry select: \"" + line.tokens[5].text + "\" is not a byte (0x00..0xFF)");
            valid_ = false;
            return;
        }
        entry.busMHz = *bus;
        entry.pciMHz = *pci;
        entry.memMHz = *mem;
        entry.bandCode = static_cast<int32_t>(*band);
        entry.chipValue = static_cast<int32_t>(*select);
        chip_.entries.push_back(entry);
        lines_.entries.push_back(line.number);
    }

    // Runs the database rules and names each problem by the line that set
    // the field.
    void MapProblems() {
        for (const DataProblem& problem : CheckDatabase(result_.db)) {
            const auto& [file, lines] = problem.kind == RecordKind::Board
                                            ? boardLines_[static_cast<size_t>(problem.record)]
                                            : chipLines_[static_cast<size_t>(problem.record)];
            int line = lines.block;
            if (problem.entry >= 0) {
                line = lines.entries[static_cast<size_t>(problem.entry)];
            } else if (const auto found = lines.fields.find(problem.field); found != lines.fields.end()) {
                line = found->second;
            }
            result_.errors.push_back(file + ":" + std::to_string(line) + ": " +
                                     DescribeProblem(result_.db, problem));
        }
    }

    CompiledSources result_;
    std::string file_;
    Block block_ = Block::None;
    int blockLine_ = 0;
    bool valid_ = true;
    std::set<std::string> seen_;
    BoardRecord board_;
    ClockGenRecord chip_;
    BoardNotes boardNotes_;
    ClockGenNotes chipNotes_;
    RecordLines lines_;
    std::vector<std::pair<std::string, RecordLines>> boardLines_;
    std::vector<std::pair<std::string, RecordLines>> chipLines_;
};

// Shortest text that reads back as the same double.
std::string Exact(double value) {
    char text[512];  // room for any double in fixed notation
    const auto [end, error] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
    std::string written(text, error == std::errc{} ? end : text);
    if (written.find_first_of(".e") == std::string::npos) written += ".0";
    return written;
}

// `text` right-aligned in `width` columns, so the table's columns line up.
std::string Column(const std::string& text, size_t width) {
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

std::string Word(const TextField& field) {
    const std::string text = FieldText(field);
    return text.find_first_of(" \t#") == std::string::npos ? text : "\"" + text + "\"";
}

// A note as one double-quoted word; a double quote inside cannot be
// written, so it becomes a single quote.
std::string Quoted(std::string text) {
    std::replace(text.begin(), text.end(), '"', '\'');
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20) c = ' ';
    }
    return "\"" + text + "\"";
}

// The text WriteSources builds, from words and the records' 32-bit fields.
struct Written {
    std::string text;
    Written& operator<<(std::string_view words) {
        text += words;
        return *this;
    }
    Written& operator<<(int32_t value) {
        text += std::to_string(value);
        return *this;
    }
};

std::string Hex2(int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%02X", static_cast<unsigned>(value));
    return text;
}

}  // namespace

CompiledSources CompileSources(const std::vector<SourceText>& sources) { return Compiler().Run(sources); }

std::string WriteSources(const Database& db) {
    Written out;
    for (size_t c = 0; c < db.clockGens.size(); ++c) {
        const ClockGenRecord& chip = db.clockGens[c];
        const ClockGenNotes notes = c < db.clockGenNotes.size() ? db.clockGenNotes[c] : ClockGenNotes{};
        out << "clockgen " << Word(chip.name) << "\n";
        if (!notes.source.empty()) out << "    source     " << Quoted(notes.source) << "\n";
        const ChipBlockReadFact blockRead = BlockReadOf(FieldText(chip.name));
        out << "    # block read: " << BlockReadText(blockRead.blockRead);
        if (blockRead.source[0] != '\0') out << " (" << blockRead.source << ")";
        out << "\n";
        if (!notes.readBack.empty()) {
            out << "    read-back ";
            for (size_t i = 0; i < notes.readBack.size() && i < notes.readBackMask.size(); ++i) {
                out << " " << Hex2(notes.readBack[i]);
                if (notes.readBackMask[i] != 0xFF) out << "/" << Hex2(notes.readBackMask[i]);
            }
            out << "\n";
        }
        out << "    mask       " << Hex2(chip.firstByteMask) << "\n";
        out << "    fine-tune  " << chip.fineTune << "\n";
        if (chip.reserved1 != 0 || chip.reserved2 != 0) {
            out << "    # reserved words " << chip.reserved1 << " " << chip.reserved2 << " are not kept\n";
        }
        out << "    #    " << Column("bus", 8) << Column("pci", 8) << Column("mem", 8) << Column("band", 6)
            << Column("select", 8) << "\n";
        for (const ClockEntry& entry : chip.entries) {
            out << "    entry" << Column(Exact(entry.busMHz), 8) << Column(Exact(entry.pciMHz), 8)
                << Column(Exact(entry.memMHz), 8) << Column(std::to_string(entry.bandCode), 6)
                << Column(Hex2(entry.chipValue), 8) << "\n";
        }
        out << "end\n\n";
    }
    for (size_t b = 0; b < db.boards.size(); ++b) {
        const BoardRecord& board = db.boards[b];
        const BoardNotes notes = b < db.boardNotes.size() ? db.boardNotes[b] : BoardNotes{};
        out << "board " << Word(board.biosId) << "\n";
        out << "    " << (notes.verified ? "verified  " : "unverified");
        if (!notes.source.empty()) out << " " << Quoted(notes.source);
        out << "\n";
        out << "    clockgen    " << Word(board.clockGenName) << "\n";
        out << "    chipset     " << board.chipsetCode << "\n";
        out << "    smbus-kind  " << board.smbusKind << "\n";
        out << "    smbus-base  "
            << (board.smbusBase == kSmbusBaseFromPci ? std::string(kBaseFromPciWord) : Hex2(board.smbusBase)) << "\n";
        out << "    max-bus     " << Exact(board.maxBusRatio) << "\n";
        out << "    max-pci     " << Exact(board.maxPciRatio) << "\n";
        out << "    max-mem     " << Exact(board.maxMemRatio) << "\n";
        if (board.reserved1 != 0 || board.reserved2 != 0) {
            out << "    # reserved words " << board.reserved1 << " " << board.reserved2 << " are not kept\n";
        }
        out << "end\n\n";
    }
    return out.text;
}

}  // namespace vc
