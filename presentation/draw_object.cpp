// Drawing one object and stepping its animation.
#include "presentation/draw_object.h"

#include "platform/platform.h"
#include "presentation/sprites.h"
#include "presentation/window_services.h"
#include "world/game_state.h"
#include "world/init_object.h"

static void Draw(const GameObject &o, int sprite) {
    DrawIcon(drawDC, o.x, o.y, spriteSet[sprite]);
}

// Frames 1..last, walked back and forth; each end frame shows twice.
static void Bounce(GameObject &o, int first, int last) {
    if (o.frame >= 1 && o.frame <= last) {
        Draw(o, first + o.frame - 1);
    }
    o.frame = Byte(o.frame + o.frameStep);
    if (o.frame > last || o.frame < 1) {
        o.frameStep = Byte(-o.frameStep);
        o.frame = Byte(o.frame + o.frameStep);
    }
}

static void Toggle(GameObject &o, int first) {
    if (o.frame == 1) {
        Draw(o, first);
        o.frame = 2;
    } else if (o.frame == 2) {
        Draw(o, first + 1);
        o.frame = 1;
    }
}

// 1, 2, 3, 4, 4, 3, 2, 1, then the blank, and the slot is free.
static void Explosion(GameObject &o) {
    if (o.frame >= 1 && o.frame <= 4) {
        Draw(o, IC_EXPLOSE1 + o.frame - 1);
    } else if (o.frame == 5) {
        Draw(o, IC_BLANC);
        o.frame = Byte(o.frame + 1);
    }
    o.frame = Byte(o.frame + o.frameStep);
    if (o.frame > 4) {
        o.frameStep = Byte(-o.frameStep);
        o.frame = Byte(o.frame + o.frameStep);
    }
    if (o.frame < 1) {
        o.frame = 5;
        o.frameStep = 0;
    }
    if (o.frame == 6) {
        o.kind = KIND_FREE;
    }
}

// A star wanders one pixel a tick and starts afresh when it leaves its area.
static void Star(int32_t i) {
    GameObject &o = objectTable[i];
    const int32_t oldX = o.x;
    const int32_t oldY = o.y;
    o.x = WrapAdd(o.x, o.dx);
    o.y = WrapAdd(o.y, o.dy);
    if (o.x > clientWidth - 32 || o.x < 32 || o.y > clientHeight - 32 || o.y < 0) {
        InitObject(i);
    }
    if (Random(500) > 400) {
        o.dx = Byte(-o.dx);
    }
    if (Random(500) > 400) {
        o.dy = Byte(-o.dy);
    }
    SetPixel(drawDC, o.x, o.y, 0x6464);
    SetPixel(drawDC, oldX, oldY, 0);
}

void DrawObject(int32_t i) {
    GameObject &o = objectTable[i];
    switch (o.kind) {
    case KIND_SHIP:
        Bounce(o, IC_SHIP1, 3);
        break;
    case KIND_ALIEN:
        Bounce(o, IC_ALIEN1, 5);
        break;
    case KIND_BASE:
        Bounce(o, IC_BASE1, 4);
        break;
    case KIND_KAMIKAZE:
        Toggle(o, IC_KAMIK1);
        break;
    case KIND_ROCKET:
        Toggle(o, IC_ROCKET1);
        break;
    case KIND_MISSILE:
        Toggle(o, IC_MISSILE1);
        break;
    case KIND_FIREBALL:
        Toggle(o, IC_EXPLOSE1);
        break;
    case KIND_CRAZY:
        Toggle(o, IC_CRAZY1);
        break;
    case KIND_EXPLOSION:
        Explosion(o);
        break;
    case KIND_STAR:
        Star(i);
        break;
    default:
        break;
    }
}
