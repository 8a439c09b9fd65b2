#include "platform/linux/xdg_apps.h"

#include <gtest/gtest.h>

#include <map>

#include "nimbra_test/temp_dir.h"
#include "platform/file_io.h"
#include "platform/linux/xdg_mime.h"

namespace nimbra::lnx {
namespace {

namespace fs = std::filesystem;

// A fresh XDG tree: config/ and etc/ as configuration directories, home/ and share/ as data
// directories, bin/ as PATH with the executables a, b and c.
class XdgTree {
 public:
  explicit XdgTree(const std::map<std::string, std::string>& files,
                   std::string_view desktops = "") {
    for (const char* program : {"a", "b", "c"}) write("bin/" + std::string(program), "", 0755);
    for (const auto& [name, text] : files) write(name, text, 0644);
    const std::string root = dir_.path().string();
    const std::map<std::string, std::string> vars = {
        {"HOME", "/nonexistent"},
        {"XDG_CONFIG_HOME", root + "/config"},
        {"XDG_CONFIG_DIRS", root + "/etc:relative/ignored"},
        {"XDG_DATA_HOME", root + "/home"},
        {"XDG_DATA_DIRS", root + "/share"},
        {"XDG_CURRENT_DESKTOP", std::string(desktops)},
        {"PATH", root + "/bin"},
    };
    env_ = XdgEnvironment::from([vars](const char* name) -> std::optional<std::string> {
      const auto it = vars.find(name);
      return it == vars.end() ? std::nullopt : std::optional(it->second);
    });
  }

  const XdgEnvironment& env() const { return env_; }
  fs::path operator/(const std::string& name) const { return dir_ / name; }

  // The program for the type, relative to the tree ("bin/a"), or "" for none.
  std::string program_for(std::string_view mime_type) const {
    const auto program = default_program_for(mime_type, env_);
    return program ? program->lexically_relative(dir_.path()).string() : "";
  }

 private:
  void write(const std::string& name, const std::string& text, unsigned mode) {
    fs::create_directories((dir_ / name).parent_path());
    std::string expanded = text;
    for (size_t at; (at = expanded.find("@bin@")) != std::string::npos;) {
      expanded.replace(at, 5, (dir_ / "bin").string());
    }
    ASSERT_TRUE(platform::write_text_file_atomic(dir_ / name, expanded, mode));
  }

  test::TempDir dir_;
  XdgEnvironment env_;
};

std::string entry(std::string_view exec, std::string_view extra = "") {
  return "[Desktop Entry]\nType=Application\nName=X\n" + std::string(extra) +
         "Exec=" + std::string(exec) + "\n[Desktop Action new]\nExec=@bin@/c\n";
}

// The default application's program comes from the lists in precedence order, through the
// desktop entry's Exec line, resolved to a full path.
TEST(XdgApps, DefaultProgramFollowsTheAssociationRules) {
  struct Row {
    std::string_view name;
    std::map<std::string, std::string> files;
    std::string_view desktops;
    std::string_view expected;
  };
  const Row rows[] = {
      {"field codes and quoting in Exec",
       {{"config/mimeapps.list", "[Default Applications]\ntext/html=web.desktop\n"},
        {"share/applications/web.desktop", entry(R"("@bin@/a" --new %u)")}},
       "",
       "bin/a"},
      {"a relative Exec name goes through PATH",
       {{"etc/mimeapps.list", "[Default Applications]\ntext/html=web.desktop;\n"},
        {"home/applications/web.desktop", entry("b %U")}},
       "",
       "bin/b"},
      {"a missing entry is passed over",
       {{"config/mimeapps.list", "[Default Applications]\ntext/html=gone.desktop;web.desktop\n"},
        {"share/applications/web.desktop", entry("c")}},
       "",
       "bin/c"},
      {"a default anywhere wins over an added association",
       {{"config/mimeapps.list", "[Added Associations]\ntext/html=one.desktop\n"},
        {"share/applications/mimeapps.list", "[Default Applications]\ntext/html=two.desktop\n"},
        {"share/applications/one.desktop", entry("a")},
        {"share/applications/two.desktop", entry("b")}},
       "",
       "bin/b"},
      {"an added association when no default resolves",
       {{"config/mimeapps.list",
         "[Default Applications]\ntext/html=gone.desktop\n[Added Associations]\n"
         "text/html=one.desktop;two.desktop\n"},
        {"share/applications/one.desktop", entry("a")}},
       "",
       "bin/a"},
      {"the desktop's own list comes first",
       {{"config/mimeapps.list", "[Default Applications]\ntext/html=one.desktop\n"},
        {"config/kde-mimeapps.list", "[Default Applications]\ntext/html=two.desktop\n"},
        {"share/applications/one.desktop", entry("a")},
        {"share/applications/two.desktop", entry("b")}},
       "KDE",
       "bin/b"},
      {"the user's configuration wins over the system's",
       {{"config/mimeapps.list", "[Default Applications]\ntext/html=one.desktop\n"},
        {"etc/mimeapps.list", "[Default Applications]\ntext/html=two.desktop\n"},
        {"share/applications/one.desktop", entry("a")},
        {"share/applications/two.desktop", entry("b")}},
       "",
       "bin/a"},
      {"a desktop id with a dash may live in a subdirectory",
       {{"config/mimeapps.list", "[Default Applications]\ntext/html=vendor-web-app.desktop\n"},
        {"share/applications/vendor/web-app.desktop", entry("c")}},
       "",
       "bin/c"},
      {"hidden entries, unknown programs and ids leaving the folder do not count",
       {{"config/mimeapps.list",
         "[Default Applications]\ntext/html=hidden.desktop;nowhere.desktop;../x.desktop\n"},
        {"share/applications/hidden.desktop", entry("a", "Hidden=true\n")},
        {"share/applications/nowhere.desktop", entry("no-such-program")},
        {"share/x.desktop", entry("b")}},
       "",
       ""},
  };
  for (const Row& row : rows) {
    const XdgTree tree(row.files, row.desktops);
    EXPECT_EQ(tree.program_for("text/html"), row.expected) << row.name;
  }
}

// The variables give the directories in order; unset ones take the XDG defaults and relative
// ones are dropped.
TEST(XdgApps, EnvironmentDefaults) {
  const auto env = XdgEnvironment::from([](const char* name) -> std::optional<std::string> {
    if (std::string_view(name) == "HOME") return "/home/u";
    if (std::string_view(name) == "XDG_CURRENT_DESKTOP") return "ubuntu:GNOME";
    if (std::string_view(name) == "PATH") return "/usr/bin::bin:/bin";
    return std::nullopt;
  });
  EXPECT_EQ(env.config_dirs, (std::vector<fs::path>{"/home/u/.config", "/etc/xdg"}));
  EXPECT_EQ(env.data_dirs,
            (std::vector<fs::path>{"/home/u/.local/share", "/usr/local/share", "/usr/share"}));
  EXPECT_EQ(env.desktops, (std::vector<std::string>{"ubuntu", "gnome"}));
  EXPECT_EQ(env.path, (std::vector<fs::path>{"/usr/bin", "/bin"}));
  EXPECT_EQ(mimeapps_lists(env).front(), "/home/u/.config/ubuntu-mimeapps.list");
}

// A file's type comes from the first MIME directory with a matching glob, by weight and then by
// the longer glob; the built-in table covers the probe types when no database knows them.
TEST(XdgMime, TypeOfFileName) {
  const XdgTree tree(std::map<std::string, std::string>{
      {"home/mime/globs2",
       "# comment\n50:text/html:*.html\n60:text/x-page:*.page.html\n"
       "50:text/x-long:*.part.html\n50:text/x-Case:*.CS:cs\nbroken line\n"},
      {"share/mime/globs", "message/x-other:*.eml\ntext/plain:*.txt\n"}});
  const auto dirs = tree.env().mime_dirs();
  struct Row {
    std::string_view name;
    std::optional<std::string> type;
  };
  const Row rows[] = {
      {"xxx.html", "text/html"},      {"XXX.HTML", "text/html"},
      {"a.page.html", "text/x-page"}, {"a.part.html", "text/x-long"},
      {"a.CS", "text/x-Case"},        {"a.cs", std::nullopt},
      {"xxx.eml", "message/x-other"}, {"xxx.msg", "application/vnd.ms-outlook"},
      {"noext", std::nullopt},
  };
  for (const Row& row : rows) EXPECT_EQ(mime_type_of(row.name, dirs), row.type) << row.name;
  EXPECT_EQ(mime_type_of("xxx.eml", {}), "message/rfc822");
}

}  // namespace
}  // namespace nimbra::lnx
