// The picture catalogue, the light, and InitRenderer: the one-time set-up of the builder,
// the pictures, the font and the GL state every frame relies on.
#include "app/renderer_setup.h"

#include <GL/gl.h>

#include "app/outline_font.h"
#include "platform/static_init_order.h"

TextureRecord texIntro, texVellmarsh, texCircus, texTeltPobble1, texTeltPobble2,
    texWembleDead, texHappyPobble, texWembleAnim01, texWembleAnim02, texWembleAnim03,
    texWembleAnim04, texWembleAnim05, texWembleAnim06, texWembleAnim07, texWembleAnim08,
    texWembleAnim09, texWembleAnim10, texWembleAnim11, texWembleAnim12, texWembleAnim13,
    texWembleAnim14, texWembleAnim15, texWembleAnim16, texWembleAnim17, texWembleAnim18,
    texWembleAnim19, texCredits, texGreetings, texQuibbet;

const CatalogueEntry kCatalogue[29] = {
    {&texIntro, "data\\Intro.jpg"},
    {&texVellmarsh, "data\\Vellmarsh.jpg"},
    {&texCircus, "data\\Circus.jpg"},
    {&texTeltPobble1, "data\\TeltPobble1.jpg"},
    {&texTeltPobble2, "data\\TeltPobble2.jpg"},
    {&texWembleDead, "data\\WembleDead.jpg"},
    {&texHappyPobble, "data\\HappyPobble.jpg"},
    {&texWembleAnim01, "data\\WembleAnim01.jpg"},
    {&texWembleAnim02, "data\\WembleAnim02.jpg"},
    {&texWembleAnim03, "data\\WembleAnim03.jpg"},
    {&texWembleAnim04, "data\\WembleAnim04.jpg"},
    {&texWembleAnim05, "data\\WembleAnim05.jpg"},
    {&texWembleAnim06, "data\\WembleAnim06.jpg"},
    {&texWembleAnim07, "data\\WembleAnim07.jpg"},
    {&texWembleAnim08, "data\\WembleAnim08.jpg"},
    {&texWembleAnim09, "data\\WembleAnim09.jpg"},
    {&texWembleAnim10, "data\\WembleAnim10.jpg"},
    {&texWembleAnim11, "data\\WembleAnim11.jpg"},
    {&texWembleAnim12, "data\\WembleAnim12.jpg"},
    {&texWembleAnim13, "data\\WembleAnim13.jpg"},
    {&texWembleAnim14, "data\\WembleAnim14.jpg"},
    {&texWembleAnim15, "data\\WembleAnim15.jpg"},
    {&texWembleAnim16, "data\\WembleAnim16.jpg"},
    {&texWembleAnim17, "data\\WembleAnim17.jpg"},
    {&texWembleAnim18, "data\\WembleAnim18.jpg"},
    {&texWembleAnim19, "data\\WembleAnim19.jpg"},
    {&texCredits, "data\\Credits.jpg"},
    {&texGreetings, "data\\Greetings.jpg"},
    {&texQuibbet, "data\\Quibbet.jpg"},
};

namespace {
const float kWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};

struct AmbientCopy {
    AmbientCopy() {
        for (int i = 0; i < 4; ++i) gAmbientColour[i] = kWhite[i];
    }
};
}  // namespace

float gAmbientColour[4];
const float gDiffuseColour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
const float gLightEyePosition[4] = {0.0f, 0.0f, 0.0f, 1.0f};

// Second of the program's static initialisations.
static AmbientCopy gAmbientCopy VZ_INIT_ORDER_LIGHT;

// Runs once, with the window's context current and the model-view matrix the identity.
// Loads are not checked: a picture that fails keeps texture name 0 and its quad is drawn
// bare, so the answer is always 1.
int InitRenderer() {
    gTextureBuilder->SetFullResolution(true);
    gTextureBuilder->SetMipmaps(true);
    gTextureBuilder->SetFilterMode(FilterTrilinear);

    for (const CatalogueEntry& entry : kCatalogue)
        gTextureBuilder->LoadPictureFile(entry.file, entry.slot);

    BuildOutlineFont();

    glLightfv(GL_LIGHT1, GL_AMBIENT, gAmbientColour);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, gDiffuseColour);
    // Taken through the identity model-view matrix: the light sits at the eye for good.
    glLightfv(GL_LIGHT1, GL_POSITION, gLightEyePosition);
    glEnable(GL_LIGHT1);
    glEnable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);

    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glHint(GL_POINT_SMOOTH_HINT, GL_NICEST);
    return 1;
}
