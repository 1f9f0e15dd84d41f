// The names the suite finds in the libraries at run time, looked up the way it looks them
// up: by plain name in the loaded library (the framework's tasks, the custom-list rule,
// the query file's calls) and in the mail service opened by its file name.
#include "mapi/MAPI.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <string>
#include <vector>

namespace {
struct LibraryCloser {
    void operator()(void* handle) const {
        if (handle) ::dlclose(handle);
    }
};
using Library = std::unique_ptr<void, LibraryCloser>;

// The names of `names` that `library` does not show by name.
std::vector<std::string> Missing(void* library, const std::vector<std::string>& names) {
    std::vector<std::string> missing;
    for (const std::string& name : names)
        if (!::dlsym(library, name.c_str())) missing.push_back(name);
    return missing;
}
} // namespace

TEST(qvcoreExports, EveryNameTheSuiteLooksUpIsVisible) {
    Library qvcore(::dlopen(QV_BIN_DIR "/libqvcore.so", RTLD_NOW | RTLD_NOLOAD));
    ASSERT_TRUE(qvcore) << "the library is loaded: " << ::dlerror();
    const std::vector<std::string> names{
        "qv_new_issue", "im_265_is_valid_clist", "qvcore_init_ext_dll",
        "_qfi_build_path_name", "_qfi_lock", "_qfi_unlock", "_qfi_seek", "_qfi_read", "_qfi_write",
        "_qfi_read_dir", "_qfi_write_dir", "_qfi_write_hdr", "_qfi_read_query", "_qfi_read_this_query",
        "_qfi_free_query_cond", "_qfi_get_query_size", "_qfi_write_query", "_qfi_create_this_query",
        "_qfi_rewrite_existing_query", "_qfi_delete_query", "_qfi_fill_dir_entry",
        "_qfi_update_dir_entries", "_qfi_shift_bytes", "_qfi_alloc", "_qfi_realloc", "_qfi_free"};
    EXPECT_EQ(Missing(qvcore.get(), names), std::vector<std::string>{});
    for (const std::string& name : names)
        EXPECT_EQ(::dlsym(RTLD_DEFAULT, name.c_str()), ::dlsym(qvcore.get(), name.c_str()))
            << name << " is found the same way from anywhere in the process";
}

TEST(qvcoreExports, TheMailServiceShowsItsEntriesAndNothingElse) {
    const std::string file = std::string(QV_BIN_DIR) + "/" + MAPI_LIBRARY_FILE;
    Library mapi(::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL));
    ASSERT_TRUE(mapi) << ::dlerror();
    EXPECT_EQ(Missing(mapi.get(), {"MAPISendMail", "mapi_script_answers", "mapi_scripted_answers_left"}),
              std::vector<std::string>{});
    // The service's own code stays inside: its session class is not reachable by name.
    EXPECT_EQ(::dlsym(mapi.get(), "_ZN10GuiSessionC1Ev"), nullptr) << "GuiSession::GuiSession()";
}
