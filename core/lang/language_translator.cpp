#include "core/lang/language_translator.h"

#include <algorithm>

namespace {

std::vector<TTavTranslator*>& Registry() {
    static std::vector<TTavTranslator*> translators;
    return translators;
}

} // namespace

TTavTranslator::TTavTranslator() {
    Registry().push_back(this);
}

TTavTranslator::~TTavTranslator() {
    std::erase(Registry(), this);
}

const std::vector<TTavTranslator*>& TTavTranslator::Translators() {
    return Registry();
}
