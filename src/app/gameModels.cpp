#include "app/gameModels.h"

Model trophyModel;
Model starModels[2];

void loadGameModels() {
    trophyModel = Model("objects/trophy.obj", trophyPosition);
    starModels[0] = Model("objects/star.obj", trophyPosition);
    starModels[1] = Model("objects/star.obj", trophyPosition);
}
