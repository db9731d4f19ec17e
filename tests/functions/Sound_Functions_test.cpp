// The sound functions as games call them: their errors and defaults for
// sounds that do not exist, sounds added from files, the media command
// strings and the CD functions on a machine without a disc.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "script/Conformance.h"

namespace tavrin::test {
namespace {

// A tiny mono WAV file (100 samples of silence).
std::string WriteWav(const std::filesystem::path& path) {
  std::vector<uint8_t> b = {'R', 'I', 'F', 'F', 236, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0, 1, 0,
                            0x80, 0xBB, 0, 0, 0, 0x77, 1, 0, 2, 0, 16, 0, 'd', 'a', 't', 'a', 200, 0, 0, 0};
  b.resize(b.size() + 200, 0);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
  return path.string();
}

TEST(SoundCode, MissingSoundsReportOrAnswerTheirDefaults) {
  RunTable({
      {"queries answer without an error",
       Show({"sound_exists(99)", "sound_isplaying(99)", "sound_get_name(99)", "sound_name(-1)", "sound_get_kind(99)",
             "sound_get_preload(99)", "action_if_sound(99)"}) +
           "sound_discard(99); sound_restore(99);",
       "0\n0\n<undefined>\n<undefined>\n-1\n-1\n0\n", ""},
      {"playing one reports it", "sound_play(99);", "", ActionError("Sound does not exist.")},
      {"so do its volume and effects", "sound_effect_echo(7, 50, 50, 100, 100, 0);", "",
       ActionError("Sound does not exist.")},
      {"replacing", "show_debug_message(sound_replace(99, 'x.wav', 0, 1));", "0\n",
       ActionError("Trying to replace non-existing sound.")},
      {"deleting", "sound_delete(99);", "", ActionError("Trying to delete non-existing sound.")},
      {"the play action", "action_sound(99, 0);", "", ActionError("Trying to play non-existing sound.")},
      {"the stop action", "action_end_sound(99);", "", ActionError("Trying to stop non-existing sound.")},
      {"the replace action", "action_replace_sound(99, 'x.wav');", "",
       ActionError("Trying to replace non-existing resource.")},
      {"a missing file", Show({"sound_add('no such file.wav', 0, 1)"}), "-1\n", ""},
  });
}

TEST(SoundCode, SoundsAddedAtRunTime) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("tavrin_soundcode_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string wav = WriteWav(dir / "blip.wav");
  std::ofstream(dir / "junk.wav") << "not a sound at all";
  const std::string add = "s = sound_add('" + wav + "', 2, 0);\n";
  RunTable({
      {"a sound from a file",
       add + Show({"s", "sound_exists(s)", "sound_get_name(s)", "sound_get_kind(s)", "sound_get_preload(s)"}),
       "0\n1\n__newsound0\n2\n0\n", ""},
      {"played, it plays; deleted, it is gone",
       add + "sound_play(s);\n" + Show({"sound_isplaying(s)"}) + "sound_stop(s);\n" + Show({"sound_isplaying(s)"}) +
           "sound_loop(s); sound_delete(s);\n" + Show({"sound_exists(s)", "sound_isplaying(s)"}),
       "1\n0\n0\n0\n", ""},
      {"a file that is no sound adds nothing",
       Show({("sound_add('" + (dir / "junk.wav").string() + "', 0, 1)").c_str()}) + add + Show({"s"}), "-1\n0\n", ""},
      {"names as a game writes them: either separator, any letter case",
       Show({("sound_add('" + dir.string() + "\\BLIP.Wav', 0, 1)").c_str()}), "0\n", ""},
      {"names not found as given are looked for in the search folder",
       "sound_set_search_directory('" + dir.string() + "');\n" + Show({"sound_add('blip.wav', 0, 1)", "sound_add('nothing.wav', 0, 1)"}),
       "0\n-1\n", ""},
      {"the action replaces the data and keeps the kind",
       add + "action_replace_sound(s, '" + wav + "');\n" + Show({"sound_get_kind(s)"}) +
           "action_replace_sound(s, 'missing.wav');",
       "2\n", ActionError("File does not exist.")},
  });
  std::filesystem::remove_all(dir);
}

TEST(SoundCode, NoDiscInTheDrive) {
  RunTable({
      {"every query answers as for an empty drive",
       "cd_init();\n" + Show({"cd_present()", "cd_number()", "cd_playing()", "cd_paused()", "cd_track()",
                              "cd_length()", "cd_track_length(0)", "cd_track_length(3)", "cd_position()",
                              "cd_track_position()", "action_cd_present()", "action_cd_playing()"}) +
           "cd_play(1, 12); cd_play(3, 2); cd_stop(); cd_pause(); cd_resume(); cd_set_position(1000);\n"
           "cd_set_track_position(1000); cd_open_door(); cd_close_door(); action_cd_play(1, 2);\n",
       "0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n", ""},
      {"media command strings",
       Show({"MCI_command('status cdaudio media present')", "'[' + MCI_command('frobnicate the drive') + ']'"}),
       "false\n[]\n", ""},
  });
}

}  // namespace
}  // namespace tavrin::test
