// Reading and writing whole files for the art tools.
#include "tools/art/art.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace art {

bool ReadFile(const std::string &path, std::vector<uint8_t> *bytes, std::string *error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = path + ": cannot open";
        return false;
    }
    bytes->assign(std::istreambuf_iterator<char>(in), {});
    return true;
}

bool WriteFile(const std::string &path, const std::vector<uint8_t> &bytes, std::string *error) {
    std::error_code ignored; // a folder that cannot be made shows as a file that cannot be written
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
    if (!out) {
        *error = path + ": cannot write";
        return false;
    }
    return true;
}

} // namespace art
