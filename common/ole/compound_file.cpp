#include "common/ole/compound_file.h"

#include <algorithm>
#include <stdexcept>

#include "common/ole/little_endian.h"
#include "common/text_codec.h"

namespace kq::ole {
namespace {

constexpr std::uint8_t kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
constexpr std::uint32_t kSectorSize = 512;
constexpr std::uint32_t kMiniSectorSize = 64;
constexpr std::uint32_t kMiniStreamCutoff = 4096;
constexpr std::uint32_t kEntrySize = 128;
constexpr std::uint32_t kHeaderSectorSlots = 109;
constexpr std::uint32_t kFreeSector = 0xFFFFFFFF;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kFatSector = 0xFFFFFFFD;
constexpr std::uint8_t kTypeStorage = 1;
constexpr std::uint8_t kTypeStream = 2;
constexpr std::uint8_t kTypeRoot = 5;
constexpr std::size_t kLongestName = 31;  // UTF-16 units, without the terminating zero

char16_t foldCase(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }

// Siblings are ordered by name length first, then by the names with letter case folded.
bool entryNameLess(const std::u16string& a, const std::u16string& b) {
    if (a.size() != b.size()) return a.size() < b.size();
    for (std::size_t i = 0; i < a.size(); ++i) {
        const char16_t x = foldCase(a[i]), y = foldCase(b[i]);
        if (x != y) return x < y;
    }
    return false;
}

std::string foldedPath(std::string_view path) {
    std::string folded(path);
    for (char& c : folded) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return folded;
}

std::vector<std::string> splitPath(std::string_view path) {
    std::vector<std::string> names;
    std::size_t start = 0;
    for (;;) {
        const std::size_t slash = path.find('/', start);
        names.emplace_back(path.substr(start, slash == std::string_view::npos ? slash : slash - start));
        if (slash == std::string_view::npos) return names;
        start = slash + 1;
    }
}

std::u16string checkedName(const std::string& name) {
    const std::u16string wide = utf8ToUtf16(name);
    if (wide.empty() || wide.size() > kLongestName || name.find_first_of("/\\:!") != std::string::npos) {
        throw std::invalid_argument(std::string("not a name for a compound file entry: \"").append(name).append("\""));
    }
    return wide;
}

std::uint32_t sectorsFor(std::size_t bytes, std::uint32_t unit) {
    return static_cast<std::uint32_t>((bytes + unit - 1) / unit);
}

// The file as the writer lays it out: every entry with its place in the
// directory and where its bytes go.
struct Layout {
    struct Entry {
        std::u16string name;
        std::uint8_t type = kTypeStorage;
        const std::vector<std::uint8_t>* bytes = nullptr;
        std::vector<std::uint32_t> children;
        std::uint32_t left = kNoEntry, right = kNoEntry, child = kNoEntry;
        bool black = true;
        std::uint32_t start = kEndOfChain;
        std::uint64_t size = 0;
    };
    std::vector<Entry> entries;

    // The children of a storage as a tree of siblings: the middle name at the
    // top, each half below it in the same way. All paths from the top then
    // hold the same number of nodes but for the deepest level, which is
    // coloured red, so that the tree is a valid red-black tree.
    void linkChildren(Entry& parent) {
        auto& ids = parent.children;
        std::sort(ids.begin(), ids.end(),
                  [&](std::uint32_t a, std::uint32_t b) { return entryNameLess(entries[a].name, entries[b].name); });
        std::vector<int> depth(entries.size(), 0);
        parent.child = link(ids, 0, ids.size(), 0, depth);
        int deepest = 0;
        for (std::uint32_t id : ids) deepest = std::max(deepest, depth[id]);
        const bool perfect = ids.size() + 1 == (std::size_t{1} << (deepest + 1));
        for (std::uint32_t id : ids) entries[id].black = perfect || depth[id] < deepest;
    }

    std::uint32_t link(const std::vector<std::uint32_t>& ids, std::size_t from, std::size_t to, int level,
                       std::vector<int>& depth) {
        if (from >= to) return kNoEntry;
        const std::size_t middle = from + (to - from) / 2;
        const std::uint32_t id = ids[middle];
        depth[id] = level;
        entries[id].left = link(ids, from, middle, level + 1, depth);
        entries[id].right = link(ids, middle + 1, to, level + 1, depth);
        return id;
    }
};

void appendEntry(std::vector<std::uint8_t>& out, const Layout::Entry* entry) {
    const std::size_t at = out.size();
    out.resize(at + kEntrySize, 0);
    const std::span<std::uint8_t> field(out.data() + at, kEntrySize);
    storeLe32(field.subspan(68), kNoEntry);
    storeLe32(field.subspan(72), kNoEntry);
    storeLe32(field.subspan(76), kNoEntry);
    if (!entry) return;
    for (std::size_t i = 0; i < entry->name.size(); ++i) storeLe16(field.subspan(2 * i), entry->name[i]);
    storeLe16(field.subspan(64), static_cast<std::uint16_t>((entry->name.size() + 1) * 2));
    field[66] = entry->type;
    field[67] = entry->black ? 1 : 0;
    storeLe32(field.subspan(68), entry->left);
    storeLe32(field.subspan(72), entry->right);
    storeLe32(field.subspan(76), entry->child);
    storeLe32(field.subspan(116), entry->start);
    storeLe32(field.subspan(120), static_cast<std::uint32_t>(entry->size));
}

// Appends a chain of `count` consecutive units starting at `first` to a table.
void chainRun(std::vector<std::uint32_t>& table, std::uint32_t first, std::uint32_t count) {
    for (std::uint32_t i = 0; i < count; ++i) table[first + i] = i + 1 == count ? kEndOfChain : first + i + 1;
}

void padTo(std::vector<std::uint8_t>& bytes, std::size_t unit) {
    bytes.resize((bytes.size() + unit - 1) / unit * unit, 0);
}

}  // namespace

void CompoundFileWriter::addStream(std::string_view path, std::vector<std::uint8_t> bytes) {
    const std::vector<std::string> names = splitPath(path);
    Node* node = &root_;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const bool last = i + 1 == names.size();
        const std::u16string wide = checkedName(names[i]);
        auto found = std::find_if(node->children.begin(), node->children.end(), [&](const Node& n) {
            const std::u16string other = utf8ToUtf16(n.name);
            return !entryNameLess(wide, other) && !entryNameLess(other, wide);
        });
        if (found != node->children.end()) {
            if (last || !found->storage) {
                throw std::invalid_argument(std::string("the compound file has \"").append(path).append("\" already"));
            }
            node = &*found;
            continue;
        }
        node->children.push_back(Node{names[i], !last, last ? std::move(bytes) : std::vector<std::uint8_t>{}, {}});
        node = &node->children.back();
    }
}

std::vector<std::uint8_t> CompoundFileWriter::bytes() const {
    // Entries in breadth-first order: the root, then each storage's children together.
    Layout layout;
    std::vector<const Node*> nodes{&root_};
    Layout::Entry rootEntry;
    rootEntry.name = u"Root Entry";
    rootEntry.type = kTypeRoot;
    layout.entries.push_back(std::move(rootEntry));
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        for (const Node& child : nodes[i]->children) {
            layout.entries[i].children.push_back(static_cast<std::uint32_t>(layout.entries.size()));
            Layout::Entry entry;
            entry.name = utf8ToUtf16(child.name);
            entry.type = child.storage ? kTypeStorage : kTypeStream;
            if (child.storage) {
                entry.start = 0;  // storages own no sectors
            } else {
                entry.bytes = &child.bytes;
                entry.size = child.bytes.size();
            }
            layout.entries.push_back(std::move(entry));
            nodes.push_back(&child);
        }
    }
    for (auto& entry : layout.entries) {
        if (entry.type != kTypeStream) layout.linkChildren(entry);
    }

    // Small streams go to the mini stream, 64 bytes a sector.
    std::vector<std::uint8_t> miniStream;
    std::vector<std::uint32_t> miniFat;
    std::vector<Layout::Entry*> large;
    for (auto& entry : layout.entries) {
        if (entry.type != kTypeStream || entry.size == 0) continue;
        if (entry.size >= kMiniStreamCutoff) {
            large.push_back(&entry);
            continue;
        }
        entry.start = static_cast<std::uint32_t>(miniFat.size());
        const std::uint32_t count = sectorsFor(entry.bytes->size(), kMiniSectorSize);
        miniFat.resize(miniFat.size() + count);
        chainRun(miniFat, entry.start, count);
        appendBytes(miniStream, *entry.bytes);
        padTo(miniStream, kMiniSectorSize);
    }

    // Sectors in order: the sector table, the directory, the mini stream's
    // table, the mini stream, the large streams.
    const std::uint32_t directorySectors = sectorsFor(layout.entries.size() * kEntrySize, kSectorSize);
    const std::uint32_t miniFatSectors = sectorsFor(miniFat.size() * 4, kSectorSize);
    const std::uint32_t miniStreamSectors = sectorsFor(miniStream.size(), kSectorSize);
    std::uint32_t otherSectors = directorySectors + miniFatSectors + miniStreamSectors;
    for (const auto* entry : large) otherSectors += sectorsFor(entry->size, kSectorSize);
    std::uint32_t fatSectors = 1;
    while (fatSectors * (kSectorSize / 4) < fatSectors + otherSectors) ++fatSectors;
    if (fatSectors > kHeaderSectorSlots) throw std::length_error("the compound file would need more than one sector table");

    std::vector<std::uint32_t> fat(fatSectors * (kSectorSize / 4), kFreeSector);
    for (std::uint32_t i = 0; i < fatSectors; ++i) fat[i] = kFatSector;
    std::uint32_t next = fatSectors;
    const auto claim = [&](std::uint32_t count) {
        const std::uint32_t first = count == 0 ? kEndOfChain : next;
        if (count != 0) chainRun(fat, next, count);
        next += count;
        return first;
    };
    const std::uint32_t directoryStart = claim(directorySectors);
    const std::uint32_t miniFatStart = claim(miniFatSectors);
    layout.entries[0].start = claim(miniStreamSectors);
    layout.entries[0].size = miniStream.size();
    for (auto* entry : large) entry->start = claim(sectorsFor(entry->size, kSectorSize));

    std::vector<std::uint8_t> out(kSectorSize, 0);
    std::copy(std::begin(kSignature), std::end(kSignature), out.begin());
    const std::span<std::uint8_t> header(out);
    storeLe16(header.subspan(24), 0x003E);
    storeLe16(header.subspan(26), 0x0003);
    storeLe16(header.subspan(28), 0xFFFE);
    storeLe16(header.subspan(30), 9);
    storeLe16(header.subspan(32), 6);
    storeLe32(header.subspan(44), fatSectors);
    storeLe32(header.subspan(48), directoryStart);
    storeLe32(header.subspan(56), kMiniStreamCutoff);
    storeLe32(header.subspan(60), miniFatStart);
    storeLe32(header.subspan(64), miniFatSectors);
    storeLe32(header.subspan(68), kEndOfChain);
    for (std::uint32_t i = 0; i < kHeaderSectorSlots; ++i) {
        storeLe32(header.subspan(76 + 4 * i), i < fatSectors ? i : kFreeSector);
    }

    for (std::uint32_t value : fat) appendLe32(out, value);
    for (const auto& entry : layout.entries) appendEntry(out, &entry);
    while ((out.size() % kSectorSize) != 0) appendEntry(out, nullptr);
    for (std::uint32_t value : miniFat) appendLe32(out, value);
    while (miniFatSectors != 0 && (out.size() % kSectorSize) != 0) appendLe32(out, kFreeSector);
    appendBytes(out, miniStream);
    padTo(out, kSectorSize);
    for (const auto* entry : large) {
        appendBytes(out, *entry->bytes);
        padTo(out, kSectorSize);
    }
    return out;
}

namespace {

// The units of one chain through a table, in order; empty when the chain
// loops, leaves the table or names a unit that does not exist.
std::optional<std::vector<std::uint32_t>> followChain(std::uint32_t start, const std::vector<std::uint32_t>& table,
                                                      std::size_t units) {
    std::vector<std::uint32_t> chain;
    std::vector<bool> seen(std::min(table.size(), units), false);
    for (std::uint32_t id = start; id != kEndOfChain; id = table[id]) {
        if (id >= seen.size() || seen[id]) return std::nullopt;
        seen[id] = true;
        chain.push_back(id);
    }
    return chain;
}

std::vector<std::uint8_t> gather(std::span<const std::uint8_t> units, std::size_t unitSize,
                                 const std::vector<std::uint32_t>& chain, std::size_t skip = 0) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(chain.size() * unitSize);
    for (std::uint32_t id : chain) {
        const auto unit = units.subspan(skip + std::size_t{id} * unitSize, unitSize);
        bytes.insert(bytes.end(), unit.begin(), unit.end());
    }
    return bytes;
}

}  // namespace

OleRead<CompoundFile> CompoundFile::read(std::span<const std::uint8_t> file) {
    using Result = OleRead<CompoundFile>;
    if (file.size() < kSectorSize) return Result::failed("shorter than a compound file header");
    if (!std::equal(std::begin(kSignature), std::end(kSignature), file.begin())) return Result::failed("no compound file signature");
    const std::uint16_t major = loadLe16(file.subspan(26));
    const std::uint16_t shift = loadLe16(file.subspan(30));
    if (!((major == 3 && shift == 9) || (major == 4 && shift == 12))) return Result::failed("unknown compound file version");
    if (loadLe16(file.subspan(28)) != 0xFFFE || loadLe16(file.subspan(32)) != 6 ||
        loadLe32(file.subspan(56)) != kMiniStreamCutoff) {
        return Result::failed("unknown compound file layout");
    }

    CompoundFile cf;
    cf.sectorSize_ = 1u << shift;
    if (file.size() < cf.sectorSize_) return Result::failed("shorter than a compound file header");
    // Sectors follow the header's own sector; a last sector cut short is no sector.
    cf.file_.assign(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(file.size() / cf.sectorSize_ * cf.sectorSize_));
    const std::size_t sectorCount = cf.file_.size() / cf.sectorSize_ - 1;
    const std::span<const std::uint8_t> sectors = std::span<const std::uint8_t>(cf.file_).subspan(cf.sectorSize_);
    const std::size_t idsPerSector = cf.sectorSize_ / 4;
    const auto sectorIds = [&](std::uint32_t id) {
        std::vector<std::uint32_t> ids(idsPerSector);
        for (std::size_t i = 0; i < idsPerSector; ++i) ids[i] = loadLe32(sectors.subspan(id * std::size_t{cf.sectorSize_} + 4 * i));
        return ids;
    };

    // The sector table's own sectors: 109 in the header, the rest in a chain of their own.
    const std::uint32_t fatSectors = loadLe32(file.subspan(44));
    if (fatSectors > sectorCount) return Result::failed("more sector table sectors than sectors");
    std::vector<std::uint32_t> fatIds;
    for (std::uint32_t i = 0; i < kHeaderSectorSlots && fatIds.size() < fatSectors; ++i) fatIds.push_back(loadLe32(file.subspan(76 + 4 * i)));
    std::vector<bool> seenDifat(sectorCount, false);
    std::uint32_t difat = loadLe32(file.subspan(68));
    for (std::uint32_t left = loadLe32(file.subspan(72)); fatIds.size() < fatSectors; --left) {
        if (left == 0 || difat >= sectorCount || seenDifat[difat]) return Result::failed("the sector table's list is damaged");
        seenDifat[difat] = true;
        const auto ids = sectorIds(difat);
        for (std::size_t i = 0; i + 1 < ids.size() && fatIds.size() < fatSectors; ++i) fatIds.push_back(ids[i]);
        difat = ids.back();
    }
    for (std::uint32_t id : fatIds) {
        if (id >= sectorCount) return Result::failed("a sector table sector lies outside the file");
        const auto ids = sectorIds(id);
        cf.fat_.insert(cf.fat_.end(), ids.begin(), ids.end());
    }

    const auto chainBytes = [&](std::uint32_t start) -> std::optional<std::vector<std::uint8_t>> {
        const auto chain = followChain(start, cf.fat_, sectorCount);
        if (!chain) return std::nullopt;
        return gather(sectors, cf.sectorSize_, *chain);
    };

    const auto directory = chainBytes(loadLe32(file.subspan(48)));
    if (!directory || directory->size() < kEntrySize) return Result::failed("the directory is damaged");
    for (std::size_t at = 0; at + kEntrySize <= directory->size(); at += kEntrySize) {
        const auto field = std::span<const std::uint8_t>(*directory).subspan(at, kEntrySize);
        DirectoryEntry entry;
        entry.type = field[66];
        const std::uint16_t nameBytes = loadLe16(field.subspan(64));
        if (entry.type != 0) {
            if (nameBytes < 2 || nameBytes > 64 || nameBytes % 2 != 0) return Result::failed("a directory entry's name is damaged");
            for (std::size_t i = 0; i + 1 < nameBytes / 2u; ++i) entry.name.push_back(static_cast<char16_t>(loadLe16(field.subspan(2 * i))));
        }
        entry.black = field[67] == 1;
        entry.left = loadLe32(field.subspan(68));
        entry.right = loadLe32(field.subspan(72));
        entry.child = loadLe32(field.subspan(76));
        entry.start = loadLe32(field.subspan(116));
        entry.size = major == 3 ? loadLe32(field.subspan(120))
                                : loadLe32(field.subspan(120)) | (std::uint64_t{loadLe32(field.subspan(124))} << 32);
        cf.entries_.push_back(std::move(entry));
    }
    const DirectoryEntry& root = cf.entries_.front();
    if (root.type != kTypeRoot) return Result::failed("the directory has no root");

    if (const std::uint32_t first = loadLe32(file.subspan(60)); first != kEndOfChain && first != kFreeSector) {
        const auto table = chainBytes(first);
        if (!table) return Result::failed("the mini stream's table is damaged");
        for (std::size_t at = 0; at + 4 <= table->size(); at += 4) cf.miniFat_.push_back(loadLe32(std::span(*table).subspan(at)));
    }
    if (root.size != 0) {
        auto mini = chainBytes(root.start);
        if (!mini || mini->size() < root.size) return Result::failed("the mini stream is damaged");
        mini->resize(static_cast<std::size_t>(root.size));
        cf.miniStream_ = std::move(*mini);
    }

    // The tree: every entry at most once, every link inside the directory.
    std::vector<bool> visited(cf.entries_.size(), false);
    std::vector<std::pair<std::uint32_t, std::string>> pending{{root.child, ""}};
    while (!pending.empty()) {
        const auto [id, folder] = pending.back();
        pending.pop_back();
        if (id == kNoEntry) continue;
        if (id >= cf.entries_.size() || visited[id]) return Result::failed("the directory tree is damaged");
        visited[id] = true;
        const DirectoryEntry& entry = cf.entries_[id];
        if (entry.type != kTypeStorage && entry.type != kTypeStream) return Result::failed("the directory tree is damaged");
        pending.emplace_back(entry.left, folder);
        pending.emplace_back(entry.right, folder);
        const std::string path = folder + utf16ToUtf8(entry.name);
        if (entry.type == kTypeStorage) {
            pending.emplace_back(entry.child, path + "/");
        } else if (!cf.streams_.emplace(foldedPath(path), std::make_pair(path, id)).second) {
            return Result::failed("two streams have one name");
        }
    }
    return {std::move(cf), {}};
}

std::vector<std::string> CompoundFile::streamPaths() const {
    std::vector<std::string> paths;
    for (const auto& [folded, found] : streams_) paths.push_back(found.first);
    return paths;
}

bool CompoundFile::hasStream(std::string_view path) const { return streams_.contains(foldedPath(path)); }

std::optional<std::vector<std::uint8_t>> CompoundFile::stream(std::string_view path) const {
    const auto found = streams_.find(foldedPath(path));
    if (found == streams_.end()) return std::nullopt;
    return streamBytes(entries_[found->second.second]);
}

std::optional<std::vector<std::uint8_t>> CompoundFile::streamBytes(const DirectoryEntry& entry) const {
    if (entry.size == 0) return std::vector<std::uint8_t>{};
    const bool mini = entry.size < kMiniStreamCutoff;
    const std::size_t unit = mini ? kMiniSectorSize : sectorSize_;
    const auto chain = mini ? followChain(entry.start, miniFat_, miniStream_.size() / kMiniSectorSize)
                            : followChain(entry.start, fat_, file_.size() / sectorSize_ - 1);
    if (!chain || chain->size() * unit < entry.size) return std::nullopt;
    auto bytes = mini ? gather(miniStream_, unit, *chain) : gather(file_, unit, *chain, sectorSize_);
    bytes.resize(static_cast<std::size_t>(entry.size));
    return bytes;
}

}  // namespace kq::ole
