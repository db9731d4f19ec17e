// The included-file functions as game code calls them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "functions/Function_IncludedFiles.h"
#include "package/DataNew_Class.h"
#include "script/Code_Error.h"
#include "script/Code_Function.h"
#include "support/TestProcess.h"
#include "script/Script_State.h"
#include "package/Package_Data.h"

namespace fs = std::filesystem;

namespace tavrin {
namespace {

class IncludedFileFunctions : public ::testing::Test {
 protected:
  void SetUp() override {
    Function_RegisterAll();
    Function_RegisterIncludedFiles();
    g_ScriptState.Reset();
    m_dir = fs::temp_directory_path() / ("tavrin_incl_" + std::to_string(::getpid()));
    fs::remove_all(m_dir);
    fs::create_directories(m_dir);
    CDataFile d;
    d.s_filename = (m_dir / "out.txt").string();  // absolute: only a chosen location may take it
    d.s_exists = d.s_store = true;
    d.s_data = CStream(std::vector<uint8_t>{'h', 'i'});
    d.s_exportaction = 0;  // kept in memory, exported only on request
    g_PackageData.dataFiles = {d};
  }
  void TearDown() override {
    g_PackageData.dataFiles.clear();
    g_SecureMode = false;
    fs::remove_all(m_dir);
  }
  // Calls a built-in by name with text arguments; returns the error text
  // reported, if any.
  std::string Call(const char* name, std::vector<std::string> texts) {
    g_ScriptState.Reset();
    std::vector<RValue> args;
    for (const auto& t : texts) args.push_back(RValue::String(t));
    RValue result;
    const int32_t id = Function_Find(name);
    EXPECT_GE(id, 0) << name;
    g_Functions[size_t(id)].f_routine(nullptr, nullptr, int32_t(args.size()), result, args.data());
    return g_ScriptState.errorOccurred ? g_ScriptState.errorLast : std::string();
  }
  fs::path m_dir;
};

TEST_F(IncludedFileFunctions, ExportDiscardAndTheirErrors) {
  const std::string name = g_PackageData.dataFiles[0].s_filename;
  const std::string target = (m_dir / "chosen.txt").string();
  // Export action 0: export_include_file writes nothing, the location form does.
  EXPECT_EQ(Call("export_include_file", {name}), "");
  EXPECT_FALSE(fs::exists(name));
  EXPECT_EQ(Call("export_include_file_location", {name, target}), "");
  EXPECT_EQ(test::ReadFile(target), "hi");

  EXPECT_NE(Call("export_include_file", {"nope.txt"}).find("Trying to export non-existing file."), std::string::npos);
  EXPECT_NE(Call("export_include_file_location", {"nope.txt", target}).find("Trying to export non-existing file."),
            std::string::npos);
  EXPECT_NE(Call("discard_include_file", {"nope.txt"}).find("Trying to discard non-existing file."), std::string::npos);

  g_SecureMode = true;
  fs::remove(target);
  EXPECT_NE(Call("export_include_file_location", {name, target}).find("In secure mode you cannot export a file to a location."),
            std::string::npos);
  EXPECT_FALSE(fs::exists(target));
  g_SecureMode = false;

  // Discarded data can no longer be written anywhere, and that is no error.
  EXPECT_EQ(Call("discard_include_file", {name}), "");
  EXPECT_EQ(Call("export_include_file_location", {name, target}), "");
  EXPECT_FALSE(fs::exists(target));
}

}  // namespace
}  // namespace tavrin
