// Renderer set-up: the builder settings, the 29 pictures of the catalogue, the font, the
// light and the fixed GL state.
#pragma once

#include "texture/texture_builder.h"

extern TextureRecord texIntro, texVellmarsh, texCircus, texTeltPobble1, texTeltPobble2,
    texWembleDead, texHappyPobble, texWembleAnim01, texWembleAnim02, texWembleAnim03,
    texWembleAnim04, texWembleAnim05, texWembleAnim06, texWembleAnim07, texWembleAnim08,
    texWembleAnim09, texWembleAnim10, texWembleAnim11, texWembleAnim12, texWembleAnim13,
    texWembleAnim14, texWembleAnim15, texWembleAnim16, texWembleAnim17, texWembleAnim18,
    texWembleAnim19, texCredits, texGreetings, texQuibbet;

// The catalogue in load order: each slot with its file.
struct CatalogueEntry {
    TextureRecord* slot;
    const char* file;
};
extern const CatalogueEntry kCatalogue[29];

extern float gAmbientColour[4];
extern const float gDiffuseColour[4];
extern const float gLightEyePosition[4];

int InitRenderer();
