// Binary and text files, the single text file, file operations, searches,
// file names and disks, played through `tavrin --code` in a folder of their
// own; secure mode comes from the player's preference in the settings store.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "functions/Support_CodePage.h"
#include "script/Conformance.h"
#include "support/TestFolder.h"
#include "support/TestProcess.h"

namespace fs = std::filesystem;

namespace tavrin::test {
namespace {

TEST(CodePage, EveryByteComesBackAndOtherCharactersBecomeQuestionMarks) {
  std::string all;
  for (int i = 1; i < 256; ++i) all += char(i);
  const std::string text = CodePage_ToUtf8(all);
  EXPECT_EQ(CodePage_FromUtf8(text), all);
  EXPECT_EQ(CodePage_ToUtf8("\x80\x81\xE9"), "€\u0081é");  // an undefined byte travels as its control character
  EXPECT_EQ(CodePage_FromUtf8("a☺\xFF\xC3"), "a???");          // no such character; broken UTF-8
}

class FileCode : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories("Data"); }
  void Secure() {
    fs::create_directories(m_folder.Store());
    std::ofstream(m_folder.Store() / "settings.txt")
        << "key \"HKEY_CURRENT_USER\\Software\\Tavrin\\Version 8.1\\Preferences\"\nnumber \"Warning\" 1\n";
  }
  static void Write(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
  CWorkFolder m_folder{"files", CWorkFolder::kEnter | CWorkFolder::kOwnStore};
};

TEST_F(FileCode, TextFilesReadAndWriteAsGamesExpect) {
  Write("lines.txt", "  -3.25xyz\r\n1 2\nlast");
  Write("Data/Level1.TXT", "caf\xE9 \x80\r\n");  // "café €" in the Western code page
  RunTable({
      {"reals are read up to the first character that is no part of them",
       "f = file_text_open_read('lines.txt');\n" + Show({"file_text_read_real(f)", "file_text_read_string(f)"}) +
           "file_text_readln(f);\n" + Show({"file_text_read_real(f)", "file_text_eoln(f)"}) +
           "file_text_readln(f);\n" + Show({"file_text_read_string(f)", "file_text_eof(f)"}) +
           "file_open_read('lines.txt'); file_readln(); " + Show({"file_read_real()", "file_eof()"}),
       "-3.25\nyz\n1\n0\nlast\n1\n12\n0\n", ""},
      {"reals are written with a blank and six decimals cut, or none",
       "f = file_text_open_write('reals.txt');\n"
       "file_text_write_real(f, -1.5); file_text_write_real(f, 0.1234567); file_text_write_real(f, 7);\n"
       "file_text_write_real(f, 2.3); file_text_write_real(f, -0.0000001); file_text_writeln(f); file_text_close(f);\n"
       "file_open_write('single.txt'); file_write_real(2.5); file_writeln(); file_write_string('x'); file_close();\n"
       "f = file_text_open_read('reals.txt'); " + Show({"'[' + file_text_read_string(f) + ']'"}) +
           "file_open_read('single.txt'); " + Show({"file_read_string()"}),
       "[ -1.500000 0.123456 7 2.300000 -0]\n 2.500000\n", ""},
      {"text travels in the Western code page, lines end in CR LF, names find their files in any case",
       "f = file_text_open_read('data\\level1.txt');\n" + Show({"file_text_read_string(f)"}) +
           "g = file_text_open_write('out.txt'); file_text_write_string(g, 'grüße €☺'); file_text_writeln(g);\n"
           "file_text_close(g); h = file_text_open_append('out.txt'); file_text_write_string(h, 'b'); file_text_close(h);",
       "café €\n", ""},
  });
  EXPECT_EQ(ReadFile("out.txt"), "gr\xFC\xDF\x65 \x80?\r\nb");
}

TEST_F(FileCode, SlotsAndTheirErrors) {
  Write("a.txt", "a");
  RunTable({
      {"32 text files open; the 33rd is refused; binary files have slots of their own",
       "for (i = 0; i < 32; i += 1) last = file_text_open_read('a.txt');\n" +
           Show({"last", "file_text_open_read('a.txt')", "file_bin_open('a.txt', 0)"}),
       "32\n-1\n1\n", ActionError("Cannot open another file (maximum exceeded).")},
      {"a missing file opens nothing and says nothing", Show({"file_text_open_read('none.txt')"}) + "file_open_read('none.txt');",
       "-1\n", ""},
      {"a slot not open for its use",
       "f = file_text_open_write('w.txt');\n" + Show({"file_text_read_string(f)"}), "\n",
       ActionError("File is not opened for reading.")},
      {"closing outside the slots", "file_text_close(33);", "", ActionError("Trying to close unexisting text file.")},
      {"the single file, unopened", "file_write_string('x');", "", ActionError("File not opened for writing.")},
      {"binary slots", "file_bin_close(3);", "", ActionError("Trying to close unopened file.")},
      {"a device is no file: it would feed the game without end",
       Show({"file_text_open_read('C:\\dev\\zero')", "file_bin_open('/dev/zero', 0)"}), "-1\n-1\n",
       ActionError("Error opening binary file.")},
  });
}

TEST_F(FileCode, BinaryFilesByModeAndByte) {
  RunTable({
      {"written bytes are the low eight bits; mode 0 reads, 2 reads and writes; rewrite empties",
       "b = file_bin_open('d.bin', 1); file_bin_write_byte(b, 300); file_bin_write_byte(b, -1); file_bin_close(b);\n"
       "b = file_bin_open('d.bin', 2);\n" +
           Show({"file_bin_size(b)", "file_bin_read_byte(b)", "file_bin_read_byte(b)", "file_bin_position(b)"}) +
           "file_bin_seek(b, 0); file_bin_write_byte(b, 7); file_bin_seek(b, 0);\n" +
           Show({"file_bin_read_byte(b)"}) + "file_bin_rewrite(b);\n" + Show({"file_bin_size(b)"}) +
           "file_bin_close(b); b = file_bin_open('new.bin', 0);\n" + Show({"file_bin_size(b)", "file_exists('new.bin')"}) +
           "file_bin_read_byte(b);",
       "2\n44\n255\n2\n7\n0\n0\n1\n", ActionError("Error reading byte.")},
  });
}

TEST_F(FileCode, FilesFoldersAndSearches) {
  Write("Data/b.txt", "b");
  Write("Data/A.TXT", "a");
  Write("Data/c.dat", "c");
  Write("Data/.hidden", "h");
  fs::create_directories("Data/Sub");
  RunTable({
      {"searches take masks in any case, plain files always, folders and hidden files when asked",
       "s = ''; for (n = file_find_first('data\\*.TXT', 0); n != ''; n = file_find_next()) s += n + ' ';\n"
       "t = ''; for (n = file_find_first('Data\\*.*', fa_directory); n != ''; n = file_find_next()) t += n + ' ';\n"
       "u = ''; for (n = file_find_first('Data\\*', fa_hidden); n != ''; n = file_find_next()) u += n + ' ';\n"
       "file_find_close();\n" +
           Show({"s", "t", "u", "'[' + file_find_next() + ']'", "file_attributes('data\\sub', fa_directory)",
                 "file_attributes('data\\a.txt', fa_directory)", "file_attributes('nope', 255)"}),
       "A.TXT b.txt \nA.TXT b.txt c.dat Sub \n.hidden A.TXT b.txt c.dat \n[]\n1\n0\n-1\n", ""},
      {"copy, rename (never over a file), delete, folders",
       "file_copy('data\\a.txt', 'copy.txt'); file_rename('copy.txt', 'data\\b.txt'); file_rename('copy.txt', 'moved.txt');\n"
       "directory_create('x\\y\\z'); file_delete('data\\c.dat');\n" +
           Show({"file_exists('moved.txt')", "file_exists('copy.txt')", "directory_exists('X\\Y\\Z')",
                 "file_exists('data\\c.dat')", "file_exists('data')", "directory_exists('data')"}),
       "1\n0\n1\n0\n0\n1\n", ""},
  });
  EXPECT_EQ(ReadFile("Data/b.txt"), "b");
  EXPECT_EQ(ReadFile("moved.txt"), "a");
}

TEST_F(FileCode, FileNamesDisksAndTheCommandLine) {
  RunTable({
      {"file names are taken apart at either separator and the drive",
       Show({"filename_name('C:\\games\\x.sav')", "filename_path('C:\\games\\x.sav')", "filename_dir('C:\\games\\x.sav')",
             "filename_dir('C:\\x.sav')", "filename_drive('C:\\games\\x.sav')", "filename_drive('\\\\srv\\share\\x')",
             "filename_ext('a/b.c/d')", "filename_ext('a.tar.gz')", "filename_change_ext('lv/one.txt', '.ini')"}),
       "x.sav\nC:\\games\\\nC:\\games\nC:\\\nC:\n\\\\srv\\share\n\n.gz\nlv/one.ini\n", ""},
      {"disks: the working folder's, C: the root's, other drives none",
       Show({"disk_free() > 0", "disk_free('') == disk_free()", "disk_size('c') >= disk_free('C')", "disk_free('q')"}),
       "1\n1\n1\n-1\n", ""},
      {"the environment", Show({"environment_get_variable('TAVRIN_HOME') != ''", "environment_get_variable('NO_SUCH_VARIABLE_X')"}),
       "1\n\n", ""},
  });
  // The game sees its own name and its arguments, never the runner's options;
  // its program folder is the one it lies in, not the runner's.
  std::ofstream("p.tvs") << "for (i = 0; i <= parameter_count(); i += 1) show_debug_message(parameter_string(i));\n"
                            "show_debug_message(program_directory)";
  EXPECT_EQ(RunProgram({TAVRIN_EXE, "--steps", "1", "--code", "p.tvs"}).out, "p.tvs\n" + fs::current_path().string() + "\n");
}

TEST_F(FileCode, SecureModeRefusesWritesOutsideTheFolder) {
  Secure();
  Write("Data/keep.txt", "keep");
  auto refused = [](const std::string& message) { return ActionError(message); };
  RunTable({
      {"the preference is read at start", Show({"secure_mode"}), "1\n", ""},
      {"a plain name is written", "f = file_text_open_write('save.txt'); " + Show({"f"}), "1\n", ""},
      {"a folder is refused", Show({"file_text_open_write('data/save.txt')"}), "-1\n",
       refused("In secure mode you cannot write file data/save.txt")},
      {"a drive's own folder leaves too", Show({"file_text_open_append('C:x')"}), "-1\n",
       refused("In secure mode you cannot append to file C:x")},
      {"reading a file in a folder is no write", Show({"file_text_open_read('data\\keep.txt')", "file_bin_open('data\\keep.txt', 0)"}),
       "1\n1\n", ""},
      {"mode 0 would create a missing file", Show({"file_bin_open('data\\new.bin', 0)"}), "-1\n",
       refused("In secure mode you cannot write file data\\new.bin")},
      {"deleting", "file_delete('data\\keep.txt');", "", refused("In Secure mode you cannot delete file data\\keep.txt")},
      {"renaming", "file_rename('save.txt', '..');", "", refused("In Secure mode you cannot rename file save.txt into ..")},
      {"copying", "file_copy('data\\keep.txt', 'k.txt');", "", refused("In Secure mode you cannot copy file data\\keep.txt to k.txt")},
      {"folders", "directory_create('d\\e');", "", refused("In Secure mode you cannot create directory d\\e")},
      {"programs", "execute_program('true', '', 1);", "", refused("In Secure mode you cannot execute program true")},
  });
  EXPECT_EQ(ReadFile("Data/keep.txt"), "keep");
  EXPECT_FALSE(fs::exists("Data/new.bin"));
  EXPECT_FALSE(fs::exists("k.txt"));
}

}  // namespace
}  // namespace tavrin::test
