# -DTAGWRIGHT_SANITIZE=ON builds every target with AddressSanitizer (LeakSanitizer included)
# and UndefinedBehaviorSanitizer, every report fatal. scripts/test.sh runs the tests once
# more in such a build, with the suppressions in sanitizers/lsan.supp.
option(TAGWRIGHT_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(TAGWRIGHT_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
