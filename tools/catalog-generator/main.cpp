// velmar-catalog-generator SAMPLE_DIR OUT_DIR COUNT [SEED]: writes COUNT systems and their index.json.
#include "CatalogGenerator.hpp"

#include <exception>
#include <iostream>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 4 || argc > 5) {
        std::cerr << "usage: velmar-catalog-generator SAMPLE_DIR OUT_DIR COUNT [SEED]\n";
        return 2;
    }
    try {
        const auto count = static_cast<std::size_t>(std::stoull(argv[3]));
        const auto seed = argc == 5 ? static_cast<std::uint32_t>(std::stoul(argv[4])) : 1u;
        Velmar::CatalogGenerator::WriteCatalog(argv[1], argv[2], count, seed);
        std::cout << count << " systems in " << argv[2] << '\n';
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "velmar-catalog-generator: " << error.what() << '\n';
        return 1;
    }
}
