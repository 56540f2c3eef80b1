// Enciphers or deciphers a store file for tests that drive the real program:
//   store_tool encipher <file>   plaintext on stdin -> file
//   store_tool decipher <file>   file -> plaintext on stdout
#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>

#include "platform/FileIo.h"
#include "store/Rc4Crypt.h"
#include "store/StoreFormat.h"

int main(int argc, char** argv) {
    const std::string mode = argc == 3 ? argv[1] : "";
    if (mode == "encipher") {
        const std::string text((std::istreambuf_iterator<char>(std::cin)),
                               std::istreambuf_iterator<char>());
        return vardex::WriteWholeFileAtomic(argv[2], vardex::Rc4Crypt(text, vardex::kStoreKey),
                                            vardex::FileAccess::OwnerOnly)
                       .ok
                   ? 0
                   : 1;
    }
    if (mode == "decipher") {
        const auto bytes = vardex::ReadWholeFile(argv[2]);
        if (!bytes) {
            return 1;
        }
        std::cout << vardex::Rc4Crypt(*bytes, vardex::kStoreKey);
        return 0;
    }
    std::fprintf(stderr, "usage: store_tool encipher|decipher <file>\n");
    return 2;
}
