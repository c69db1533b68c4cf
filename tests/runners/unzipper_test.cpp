// ZIP extraction: ordinary archives written with minizip's zip interface, and hostile or
// damaged ones written byte by byte.
#include <gtest/gtest.h>
#include <minizip/zip.h>
#include <zlib.h>

#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/debug.h"
#include "platform/files.h"
#include "platform/win_types.h"
#include "runners/unzipper.h"
#include "tests/support/temp_machine.h"

namespace files = platform::files;
namespace fs = std::filesystem;

namespace {

// One entry of a hand-made archive. entry() fills every field from the data; a test then
// falsifies the fields it needs.
struct RawEntry {
  std::string name;
  std::string payload;  // the bytes stored in the archive
  uint16_t madeBy = 20;
  uint16_t flag = 0;
  uint16_t method = 0;
  uint16_t dosTime = 0;
  uint16_t dosDate = (35 << 9) | (1 << 5) | 1;  // 2015-01-01
  uint32_t crc = 0;
  uint32_t compressedSize = 0;
  uint32_t uncompressedSize = 0;
  uint32_t externalAttributes = 0;
  int sharesHeaderOf = -1;  // no header of its own: points at an earlier entry's
};

std::string deflateRaw(const std::string& data) {
  z_stream zs{};
  deflateInit2(&zs, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&zs, data.size()), '\0');
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  zs.avail_in = static_cast<uInt>(data.size());
  zs.next_out = reinterpret_cast<Bytef*>(out.data());
  zs.avail_out = static_cast<uInt>(out.size());
  deflate(&zs, Z_FINISH);
  out.resize(zs.total_out);
  deflateEnd(&zs);
  return out;
}

uint32_t crcOf(const std::string& data) {
  return static_cast<uint32_t>(
      crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

RawEntry entry(const std::string& name, const std::string& data, bool deflated = true) {
  RawEntry e;
  e.name = name;
  e.payload = deflated ? deflateRaw(data) : data;
  e.method = deflated ? 8 : 0;
  e.crc = crcOf(data);
  e.compressedSize = static_cast<uint32_t>(e.payload.size());
  e.uncompressedSize = static_cast<uint32_t>(data.size());
  return e;
}

void put16(std::string& s, uint32_t v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>((v >> 8) & 0xFF);
}
void put32(std::string& s, uint32_t v) {
  put16(s, v & 0xFFFF);
  put16(s, v >> 16);
}

std::string buildZip(const std::vector<RawEntry>& entries) {
  std::string zip;
  std::vector<uint32_t> offsets;
  for (const RawEntry& e : entries) {
    if (e.sharesHeaderOf >= 0) {
      offsets.push_back(offsets[e.sharesHeaderOf]);
      continue;
    }
    offsets.push_back(static_cast<uint32_t>(zip.size()));
    put32(zip, 0x04034b50);
    put16(zip, 20);
    put16(zip, e.flag);
    put16(zip, e.method);
    put16(zip, e.dosTime);
    put16(zip, e.dosDate);
    put32(zip, e.crc);
    put32(zip, e.compressedSize);
    put32(zip, e.uncompressedSize);
    put16(zip, static_cast<uint32_t>(e.name.size()));
    put16(zip, 0);
    zip += e.name;
    zip += e.payload;
  }
  uint32_t central = static_cast<uint32_t>(zip.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    const RawEntry& e = entries[i];
    put32(zip, 0x02014b50);
    put16(zip, e.madeBy);
    put16(zip, 20);
    put16(zip, e.flag);
    put16(zip, e.method);
    put16(zip, e.dosTime);
    put16(zip, e.dosDate);
    put32(zip, e.crc);
    put32(zip, e.compressedSize);
    put32(zip, e.uncompressedSize);
    put16(zip, static_cast<uint32_t>(e.name.size()));
    put16(zip, 0);
    put16(zip, 0);
    put16(zip, 0);
    put16(zip, 0);
    put32(zip, e.externalAttributes);
    put32(zip, offsets[i]);
    zip += e.name;
  }
  uint32_t centralSize = static_cast<uint32_t>(zip.size()) - central;
  put32(zip, 0x06054b50);
  put16(zip, 0);
  put16(zip, 0);
  put16(zip, static_cast<uint32_t>(entries.size()));
  put16(zip, static_cast<uint32_t>(entries.size()));
  put32(zip, centralSize);
  put32(zip, central);
  put16(zip, 0);
  return zip;
}

struct ZipItem {
  std::string name;
  std::string data;
  unsigned dosDateTime = 0;
  unsigned externalAttributes = 0;
};

// A real writer's archive, for the ordinary cases.
void writeWithMinizip(const std::string& hostPath, const std::vector<ZipItem>& items) {
  zipFile zf = zipOpen64(hostPath.c_str(), APPEND_STATUS_CREATE);
  ASSERT_NE(zf, nullptr);
  for (const ZipItem& item : items) {
    zip_fileinfo info{};
    info.dosDate = item.dosDateTime;
    info.external_fa = item.externalAttributes;
    ASSERT_EQ(zipOpenNewFileInZip64(zf, item.name.c_str(), &info, nullptr, 0, nullptr, 0,
                                    nullptr, Z_DEFLATED, Z_DEFAULT_COMPRESSION, 1),
              ZIP_OK);
    ASSERT_EQ(zipWriteInFileInZip(zf, item.data.data(), static_cast<unsigned>(item.data.size())),
              ZIP_OK);
    ASSERT_EQ(zipCloseFileInZip(zf), ZIP_OK);
  }
  ASSERT_EQ(zipClose(zf, nullptr), ZIP_OK);
}

std::string content(const std::string& path) {
  std::string data;
  return files::readFile(path, data) ? data : "<missing>";
}

bool exists(const std::string& path) {
  return files::getAttributes(path) != win::INVALID_FILE_ATTRIBUTES;
}

// Every host file below root whose name contains part.
std::vector<std::string> hostFilesNamed(const std::string& root, const std::string& part) {
  std::vector<std::string> found;
  for (const auto& e : fs::recursive_directory_iterator(root))
    if (e.path().filename().string().find(part) != std::string::npos)
      found.push_back(e.path().string());
  return found;
}

class UnzipperTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(files::createDirectory(kData));
    platform::setDebugSink([this](const std::string& line) { debug += line; });
  }
  void TearDown() override { platform::setDebugSink(nullptr); }

  std::string writeRaw(const std::vector<RawEntry>& entries) {
    std::string zip = buildZip(entries);
    EXPECT_TRUE(files::writeFile(kArchive, zip));
    return kArchive;
  }
  std::string writeZip(const std::vector<ZipItem>& items) {
    writeWithMinizip(files::nativePath(kArchive), items);
    return kArchive;
  }

  const std::string kData = "C:\\Data";
  const std::string kArchive = "C:\\Data\\package.zip";
  const std::string kTarget = "C:\\Data\\Out";
  TempMachine machine;
  std::string debug;
};

TEST_F(UnzipperTest, ExtractsNestedNamesAndFolderEntries) {
  writeZip({{"a/b/c.txt", "nested"},
            {"docs/", "", 0, win::FILE_ATTRIBUTE_DIRECTORY},
            {"top.txt", "top"},
            {"A/second.txt", "same folder, other case"}});
  ASSERT_TRUE(CUnzipper::unzip(kArchive, kTarget));
  EXPECT_EQ(content(kTarget + "\\a\\b\\c.txt"), "nested");
  EXPECT_EQ(content(kTarget + "\\top.txt"), "top");
  EXPECT_TRUE(files::isDirectory(kTarget + "\\docs"));
  EXPECT_EQ(files::find(kTarget + "\\docs\\*").size(), 2u);  // "." and ".." only
  // Windows names do not differ by case: one folder "a" holds both files.
  EXPECT_EQ(content(kTarget + "\\a\\second.txt"), "same folder, other case");
  EXPECT_EQ(files::find(kTarget + "\\*").size(), 5u);  // ., .., a, docs, top.txt
}

TEST_F(UnzipperTest, FolderEntryMarkedOnlyByItsSlash) {
  writeRaw({entry("plain/", "", false), entry("plain/x.txt", "x")});
  ASSERT_TRUE(CUnzipper::unzip(kArchive, kTarget));
  EXPECT_TRUE(files::isDirectory(kTarget + "\\plain"));
  EXPECT_EQ(content(kTarget + "\\plain\\x.txt"), "x");
}

TEST_F(UnzipperTest, LargeEntriesCrossEveryBufferBoundary) {
  // Several MiB, partly compressible, so reads, inflation and writes all wrap many times.
  std::string big;
  uint32_t seed = 12345;
  for (int i = 0; i < 3 * 1024 * 1024 + 17; ++i) {
    seed = seed * 1103515245 + 12345;
    big += (i / 4096) % 2 ? static_cast<char>(seed >> 24) : static_cast<char>('a' + i % 7);
  }
  writeZip({{"big.bin", big}});
  ASSERT_TRUE(CUnzipper::unzip(kArchive, kTarget));
  EXPECT_TRUE(content(kTarget + "\\big.bin") == big);

  std::string stored(1536 * 1024 + 3, 's');
  writeRaw({entry("stored.bin", stored, false)});
  ASSERT_TRUE(CUnzipper::unzip(kArchive, kTarget));
  EXPECT_TRUE(content(kTarget + "\\stored.bin") == stored);
}

TEST_F(UnzipperTest, EmptyArchiveFailsAndCreatesOnlyTheTarget) {
  // minizip does not find an end record at the very start of the file, so the bare empty
  // archive does not even open.
  writeZip({});
  EXPECT_FALSE(CUnzipper::unzip(kArchive, kTarget));
  EXPECT_FALSE(exists(kTarget));
  // Behind a stub (as self-extracting archives have) it opens and holds no entries.
  std::string empty;
  ASSERT_TRUE(files::readFile(kArchive, empty));
  ASSERT_TRUE(files::writeFile(kArchive, "stub" + empty));
  EXPECT_FALSE(CUnzipper::unzip(kArchive, kTarget));
  EXPECT_TRUE(files::isDirectory(kTarget));
  EXPECT_EQ(files::find(kTarget + "\\*").size(), 2u);
}

TEST_F(UnzipperTest, MissingOrBrokenArchiveAndBadTargetFail) {
  EXPECT_FALSE(CUnzipper::unzip("C:\\Data\\missing.zip", kTarget));
  EXPECT_FALSE(CUnzipper::unzip("", kTarget));
  ASSERT_TRUE(files::writeFile("C:\\Data\\junk.zip", "this is no archive"));
  EXPECT_FALSE(CUnzipper::unzip("C:\\Data\\junk.zip", kTarget));

  writeZip({{"a.txt", "a"}});
  EXPECT_FALSE(CUnzipper::unzip(kArchive, ""));
  // A target that is a file stops everything before a byte is written.
  ASSERT_TRUE(files::writeFile(kTarget, "in the way"));
  EXPECT_FALSE(CUnzipper::unzip(kArchive, kTarget));
  EXPECT_EQ(content(kTarget), "in the way");
  EXPECT_FALSE(exists("C:\\Data\\a.txt"));
}

TEST_F(UnzipperTest, ReplacesFilesButStopsAtAReadOnlyOne) {
  ASSERT_TRUE(CUnzipper::createFolderTree(kTarget));
  ASSERT_TRUE(files::writeFile(kTarget + "\\first.txt", "old first"));
  ASSERT_TRUE(files::writeFile(kTarget + "\\locked.txt", "old locked"));
  ASSERT_TRUE(files::setAttributes(kTarget + "\\locked.txt", win::FILE_ATTRIBUTE_READONLY));
  writeZip({{"first.txt", "new first"}, {"locked.txt", "new locked"}, {"last.txt", "last"}});

  EXPECT_FALSE(CUnzipper::unzip(kArchive, kTarget));
  EXPECT_EQ(content(kTarget + "\\first.txt"), "new first");
  EXPECT_EQ(content(kTarget + "\\locked.txt"), "old locked");
  EXPECT_FALSE(exists(kTarget + "\\last.txt"));
}

TEST_F(UnzipperTest, WrittenFilesCarryTheEntryTimeStamp) {
  // 2015-12-23 10:20:30 local time, as DOS packs it.
  unsigned date = (35u << 9) | (12u << 5) | 23u;
  unsigned time = (10u << 11) | (20u << 5) | 15u;
  writeZip({{"stamped.txt", "x", (date << 16) | time}});
  ASSERT_TRUE(CUnzipper::unzip(kArchive, kTarget));

  std::tm tm{};
  tm.tm_year = 115;
  tm.tm_mon = 11;
  tm.tm_mday = 23;
  tm.tm_hour = 10;
  tm.tm_min = 20;
  tm.tm_sec = 30;
  tm.tm_isdst = -1;
  auto found = files::find(kTarget + "\\stamped.txt");
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].lastWriteTime, static_cast<int64_t>(std::mktime(&tm)));
}

TEST_F(UnzipperTest, InvalidTimeStampStillExtracts) {
  RawEntry e = entry("odd.txt", "odd");
  e.dosDate = 0;  // month 0 cannot be converted
  writeRaw({e});
  ASSERT_TRUE(CUnzipper::unzip(kArchive, kTarget));
  EXPECT_EQ(content(kTarget + "\\odd.txt"), "odd");
}

TEST_F(UnzipperTest, OpenArchiveGivesTheDefaultFolder) {
  writeZip({{"inside.txt", "in"}});
  CUnzipper unzipper;
  EXPECT_FALSE(unzipper.isOpen());
  ASSERT_TRUE(unzipper.openArchive("C:\\Data\\.\\Sub\\..\\package.zip"));
  EXPECT_EQ(unzipper.defaultFolder(), "C:\\Data\\package");
  UnzipEntryInfo info;
  ASSERT_TRUE(unzipper.getCurrentFileInfo(info));
  EXPECT_EQ(info.name, "inside.txt");
  EXPECT_EQ(info.uncompressedSize, 2u);
  EXPECT_EQ(info.compressionMethod, 8u);
  EXPECT_FALSE(info.isFolder);
  ASSERT_TRUE(unzipper.extractCurrentFile());
  EXPECT_EQ(content("C:\\Data\\package\\inside.txt"), "in");

  EXPECT_FALSE(unzipper.openArchive("C:\\Data\\missing.zip"));
  EXPECT_FALSE(unzipper.isOpen());
  EXPECT_EQ(unzipper.defaultFolder(), "");
  EXPECT_FALSE(unzipper.extractCurrentFile(kTarget));
}

TEST_F(UnzipperTest, CreateFolderTreeRules) {
  EXPECT_TRUE(CUnzipper::createFolderTree("C:\\Data\\x\\y\\z"));
  EXPECT_TRUE(files::isDirectory("C:\\Data\\x\\y\\z"));
  EXPECT_TRUE(CUnzipper::createFolderTree("C:\\Data\\x\\y\\z\\"));
  EXPECT_TRUE(CUnzipper::createFolderTree("C:\\Data\\t\\"));
  EXPECT_TRUE(files::isDirectory("C:\\Data\\t"));
  EXPECT_FALSE(CUnzipper::createFolderTree(""));
  ASSERT_TRUE(files::writeFile("C:\\Data\\file", "f"));
  EXPECT_FALSE(CUnzipper::createFolderTree("C:\\Data\\file"));
  EXPECT_FALSE(CUnzipper::createFolderTree("C:\\Data\\file\\below"));
  EXPECT_TRUE(CUnzipper::createParentFolder("C:\\Data\\p\\q\\file.txt"));
  EXPECT_TRUE(files::isDirectory("C:\\Data\\p\\q"));
  EXPECT_FALSE(exists("C:\\Data\\p\\q\\file.txt"));
  EXPECT_FALSE(CUnzipper::createParentFolder("nofolder.txt"));
}

TEST(UnzipperNames, SafeEntryNames) {
  struct Row {
    const char* name;
    bool safe;
  } rows[] = {
      {"a.txt", true},
      {"a\\b\\c.txt", true},
      {"a\\.\\b.txt", true},
      {"a..b\\c..txt", true},
      {"folder\\", true},
      {"console.txt", true},
      {"", false},
      {"..\\evil.txt", false},
      {"a\\..\\..\\evil.txt", false},
      {"a\\..", false},
      {"a\\...\\evil.txt", false},
      {"a\\.. \\evil.txt", false},
      {"\\evil.txt", false},
      {"/etc/evil", false},
      {"\\\\server\\share\\evil.txt", false},
      {"C:\\evil.txt", false},
      {"C:evil.txt", false},
      {"file.txt:stream", false},
      {"a\\nul.txt", false},
      {"COM1", false},
      {"what?.txt", false},
      {"tab\there", false},
  };
  for (const Row& row : rows)
    EXPECT_EQ(CUnzipper::isSafeEntryName(row.name), row.safe) << row.name;
}

// Entries whose names lead outside the target: the good entry before stays, the hostile
// one fails the extraction, and nothing named "evil" appears anywhere in the machine.
TEST_F(UnzipperTest, NamesLeadingOutsideAreRefused) {
  const char* hostile[] = {
      "../evil.txt",      "a/../../evil.txt", "..\\evil.txt",     "/evil.txt",
      "\\evil.txt",       "C:\\evil.txt",     "C:evil.txt",       "\\\\srv\\share\\evil.txt",
      "a/.../evil.txt",   "../../../../../../../../tmp/evil.txt", "a/../../../evil.txt"};
  for (const char* name : hostile) {
    SCOPED_TRACE(name);
    writeRaw({entry("good.txt", "good"), entry(name, "evil")});
    EXPECT_FALSE(CUnzipper::unzip(kArchive, kTarget));
    EXPECT_EQ(content(kTarget + "\\good.txt"), "good");
    EXPECT_EQ(hostFilesNamed(machine.root(), "evil"), std::vector<std::string>{});
    EXPECT_NE(debug.find("leads outside"), std::string::npos);
    debug.clear();
  }
  EXPECT_FALSE(fs::exists("/tmp/evil.txt") && fs::file_size("/tmp/evil.txt") == 4);
}

TEST_F(UnzipperTest, SymbolicLinkEntryIsRefused) {
  RawEntry link = entry("link", "/etc/passwd", false);
  link.madeBy = (3 << 8) | 20;  // a Unix archiver
  link.externalAttributes = 0120777u << 16;
  writeRaw({link});
  EXPECT_FALSE(CUnzipper::unzip(kArchive, kTarget));
  EXPECT_FALSE(exists(kTarget + "\\link"));
  EXPECT_NE(debug.find("Symbolic link"), std::string::npos);
}

// Archives that lie about their data. Each row falsifies one entry that follows a good
// one; the extraction must fail, keep the good entry and leave no file for the bad one.
TEST_F(UnzipperTest, DamagedOrForgedEntriesFail) {
  std::string text;
  struct Row {
    const char* what;
    const char* expected;  // part of the debug line that names the cause
    std::function<void(std::vector<RawEntry>&)> forge;
  } rows[] = {
      {"crc mismatch", "CRC mismatch", [](auto& v) { v[1].crc ^= 1; }},
      {"stored crc mismatch", "CRC mismatch",
       [&](auto& v) {
         v[1] = entry("bad.txt", text, false);
         v[1].crc ^= 0x100;
       }},
      {"corrupt deflate data", "Corrupt data",
       [](auto& v) {
         v[1].payload[0] = static_cast<char>(0xFF);
         v[1].payload[1] = static_cast<char>(0xFF);
       }},
      {"encrypted", "Encrypted", [](auto& v) { v[1].flag |= 1; }},
      {"unsupported method", "Unsupported compression method", [](auto& v) { v[1].method = 14; }},
      {"more data than declared", "More data than declared",
       [&](auto& v) {
         v[1].uncompressedSize = 1000;
         v[1].crc = crcOf(text.substr(0, 1000));
       }},
      {"less data than declared", "differs from the declared size",
       [](auto& v) { v[1].uncompressedSize += 10; }},
      {"stored data longer than declared", "two sizes",
       [&](auto& v) {
         v[1] = entry("bad.txt", text, false);
         v[1].uncompressedSize = 100;
       }},
      {"junk after the compressed stream", "after the end",
       [](auto& v) {
         v[1].payload += "trailing junk";
         v[1].compressedSize = static_cast<uint32_t>(v[1].payload.size());
       }},
      {"truncated compressed data", "ends early",
       [](auto& v) {
         v[1].payload.resize(v[1].payload.size() / 2);
         v[1].compressedSize = static_cast<uint32_t>(v[1].payload.size());
       }},
  };
  // A small entry, and one big enough to be written behind by the second thread.
  for (size_t size : {size_t{5000}, size_t{2 * 1024 * 1024 + 5}})
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.what) + ", " + std::to_string(size) + " bytes");
    text.assign(size, 'z');
    std::vector<RawEntry> entries = {entry("good.txt", "good"), entry("bad.txt", text)};
    row.forge(entries);
    writeRaw(entries);
    debug.clear();
    EXPECT_FALSE(CUnzipper::unzip(kArchive, kTarget));
    EXPECT_EQ(content(kTarget + "\\good.txt"), "good");
    EXPECT_FALSE(exists(kTarget + "\\bad.txt"));
    EXPECT_NE(debug.find(row.expected), std::string::npos) << debug;
  }
}

// A damaged entry costs nothing that was there before, and leaves no half-written file,
// whether the folder is walked as a tree or the entry is extracted alone.
TEST_F(UnzipperTest, CorruptDataLeavesThePreviousFileAlone) {
  ASSERT_TRUE(CUnzipper::createFolderTree(kTarget));
  ASSERT_TRUE(files::writeFile(kTarget + "\\bad.txt", "previous"));
  RawEntry bad = entry("bad.txt", std::string(3000, 'q'));
  bad.crc ^= 0xFFFF;
  writeRaw({bad});
  EXPECT_FALSE(CUnzipper::unzip(kArchive, kTarget));
  CUnzipper single;
  ASSERT_TRUE(single.openArchive(kArchive));
  EXPECT_FALSE(single.extractCurrentFile(kTarget));
  single.closeArchive();
  EXPECT_EQ(content(kTarget + "\\bad.txt"), "previous");
  EXPECT_EQ(files::find(kTarget + "\\*").size(), 3u);  // ., .. and bad.txt
}

TEST_F(UnzipperTest, OverlappingEntriesFail) {
  // Two central records share one local header and its data: the same bytes counted twice.
  std::string data(20000, 'o');
  RawEntry first = entry("one.txt", data);
  RawEntry twin = first;
  twin.name = "two.txt";
  twin.sharesHeaderOf = 0;
  writeRaw({first, twin});
  EXPECT_FALSE(CUnzipper::unzip(kArchive, kTarget));
  EXPECT_EQ(content(kTarget + "\\one.txt"), data);
  EXPECT_FALSE(exists(kTarget + "\\two.txt"));
  EXPECT_NE(debug.find("overlaps"), std::string::npos);
}

TEST_F(UnzipperTest, EntryDeclaringAHugeSizeFails) {
  RawEntry huge = entry("huge.bin", std::string(4096, 'h'));
  huge.uncompressedSize = 0xFFFFFFF0u;
  writeRaw({huge});
  EXPECT_FALSE(CUnzipper::unzip(kArchive, kTarget));
  EXPECT_FALSE(exists(kTarget + "\\huge.bin"));
}

TEST_F(UnzipperTest, OverlongOrHiddenNamesFail) {
  writeRaw({entry(std::string(300, 'n'), "long")});
  EXPECT_FALSE(CUnzipper::unzip(kArchive, kTarget));
  EXPECT_NE(debug.find("too long"), std::string::npos);
  // A name that exactly fills the buffer has no room for its terminator.
  writeRaw({entry(std::string(260, 'm'), "long")});
  EXPECT_FALSE(CUnzipper::unzip(kArchive, kTarget));
  // A NUL would show "safe.txt" to a reader of C strings and hide the rest.
  writeRaw({entry(std::string("safe.txt\0/../../evil", 20), "hidden")});
  EXPECT_FALSE(CUnzipper::unzip(kArchive, kTarget));
  EXPECT_FALSE(exists(kTarget + "\\safe.txt"));
  // Short enough for the name buffer, but too long once joined to the target.
  writeRaw({entry(std::string(200, 'p') + "/" + std::string(50, 'q'), "deep")});
  EXPECT_FALSE(CUnzipper::unzip(kArchive, kTarget));
  EXPECT_EQ(hostFilesNamed(machine.root(), "qqqq"), std::vector<std::string>{});
  EXPECT_EQ(files::find(kTarget + "\\*").size(), 2u);
}

// The file port's fast path for extraction keeps the Windows rules of the slow one.
TEST_F(UnzipperTest, FolderTreeKeepsTheWindowsRules) {
  ASSERT_TRUE(files::createDirectory("C:\\Data\\Pkg"));
  ASSERT_TRUE(files::createDirectory("C:\\Data\\Pkg\\Docs"));
  ASSERT_TRUE(files::writeFile("C:\\Data\\Pkg\\Docs\\ReadMe.TXT", "old"));
  ASSERT_TRUE(files::writeFile("C:\\Data\\Pkg\\Locked.txt", "locked"));
  ASSERT_TRUE(files::setAttributes("C:\\Data\\Pkg\\Locked.txt", win::FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(files::FolderTree::open("C:\\Data\\Nowhere"), nullptr);
  EXPECT_EQ(files::FolderTree::open("C:\\Data\\Pkg\\Locked.txt"), nullptr);
  auto tree = files::FolderTree::open("C:\\data\\pkg\\");
  ASSERT_NE(tree, nullptr);

  // Existing names are matched without regard to case and keep their spelling.
  auto out = tree->createFile("docs\\readme.txt");
  ASSERT_NE(out, nullptr);
  ASSERT_TRUE(out->write("new", 3));
  ASSERT_TRUE(out->close());
  EXPECT_EQ(content("C:\\Data\\Pkg\\Docs\\ReadMe.TXT"), "new");
  EXPECT_EQ(files::find("C:\\Data\\Pkg\\Docs\\*").size(), 3u);

  EXPECT_EQ(tree->createFile("locked.txt"), nullptr);
  EXPECT_EQ(tree->createFile("Docs"), nullptr);
  EXPECT_EQ(tree->createFile("missing\\x.txt"), nullptr);
  EXPECT_EQ(tree->createFile("..\\escape.txt"), nullptr);
  EXPECT_FALSE(tree->createFolders("Locked.txt\\below"));
  EXPECT_FALSE(tree->createFolders("a\\..\\..\\up"));
  EXPECT_FALSE(exists("C:\\Data\\escape.txt"));
  EXPECT_FALSE(exists("C:\\Data\\up"));

  ASSERT_TRUE(tree->createFolders("New\\Deep"));
  ASSERT_TRUE(tree->createFolders("new\\deep\\deeper"));
  EXPECT_TRUE(files::isDirectory("C:\\Data\\Pkg\\New\\Deep\\deeper"));
  out = tree->createFile("NEW\\deep\\f.txt");
  ASSERT_NE(out, nullptr);
  ASSERT_TRUE(out->close());
  EXPECT_TRUE(exists("C:\\Data\\Pkg\\New\\Deep\\f.txt"));
  EXPECT_TRUE(tree->deleteFile("new\\DEEP\\F.TXT"));
  EXPECT_FALSE(exists("C:\\Data\\Pkg\\New\\Deep\\f.txt"));
  EXPECT_FALSE(tree->deleteFile("Locked.txt"));
  EXPECT_EQ(content("C:\\Data\\Pkg\\Locked.txt"), "locked");
}

}  // namespace
