#include "game/particles.h"

#include <glm/geometric.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <random>
#include <tuple>

namespace {

constexpr glm::vec3 origin(0.0f);

std::unique_ptr<ParticleSystem> freshSystem() {
    auto system = std::make_unique<ParticleSystem>();
    system->allocateStaging();
    return system;
}

void makeLive(Particle& particle, float life, float distance) {
    particle.life = life;
    particle.cameraDistance = distance;
}

// The frame as written down, record by record over the whole pool and with a
// full sort at the end: the yardstick for the incremental ordering.
int referenceUpdate(ParticleSystem& system, float deltaTime, glm::vec3 cameraPosition) {
    const int spawns = spawnCount(deltaTime);
    for (int i = 0; i < spawns; ++i) {
        spawnParticle(system.pool[findFreeParticle(system)], deltaTime);
    }
    int count = 0;
    for (Particle& p : system.pool) {
        if (p.life <= 0.0f) {
            continue;
        }
        p.life -= deltaTime;
        if (p.life > 0.0f) {
            p.speed += glm::vec3(0.0f, -2.81f, 0.0f) * deltaTime * 0.1f;
            p.position += p.speed * deltaTime * 0.1f;
            p.cameraDistance = glm::length(p.position - cameraPosition);
            std::copy_n(&p.position.x, 3, &system.positionData[4 * count]);
            system.positionData[4 * count + 3] = p.size;
            const unsigned char color[4] = {p.r, p.g, p.b, p.a};
            std::copy_n(color, 4, &system.colorData[4 * count]);
        } else {
            p.cameraDistance = -1.0f;
        }
        count += 1;
    }
    std::sort(system.pool.begin(), system.pool.end(), [](const Particle& a, const Particle& b) {
        return a.cameraDistance > b.cameraDistance;
    });
    return count;
}

auto recordFields(const Particle& p) {
    return std::make_tuple(p.cameraDistance, p.life, p.position.x, p.position.y, p.position.z,
                           p.speed.x, p.speed.y, p.speed.z, p.size, p.r, p.g, p.b, p.a);
}

// Same records, whatever order equal distances took. Records that sit at
// the same index in both pools need no further look.
void expectSameRecords(const std::vector<Particle>& a, const std::vector<Particle>& b) {
    std::vector<Particle> movedA;
    std::vector<Particle> movedB;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (recordFields(a[i]) != recordFields(b[i])) {
            movedA.push_back(a[i]);
            movedB.push_back(b[i]);
        }
    }
    auto byFields = [](const Particle& x, const Particle& y) {
        return recordFields(x) < recordFields(y);
    };
    std::sort(movedA.begin(), movedA.end(), byFields);
    std::sort(movedB.begin(), movedB.end(), byFields);
    for (std::size_t i = 0; i < movedA.size(); ++i) {
        ASSERT_TRUE(recordFields(movedA[i]) == recordFields(movedB[i])) << "moved record " << i;
    }
}

void expectSameKeySequence(const std::vector<Particle>& a, const std::vector<Particle>& b) {
    for (std::size_t i = 0; i < a.size(); ++i) {
        ASSERT_EQ(a[i].cameraDistance, b[i].cameraDistance) << "position " << i;
    }
}

// Steps the system incrementally and a copy of it by the reference, from the
// same state and the same rand sequence, and demands identical results.
void stepAndCompare(ParticleSystem& system, float deltaTime, glm::vec3 cameraPosition,
                    unsigned seed) {
    auto reference = std::make_unique<ParticleSystem>(system);
    std::srand(seed);
    const int count = updateParticleSystem(system, deltaTime, cameraPosition);
    std::srand(seed);
    const int referenceCount = referenceUpdate(*reference, deltaTime, cameraPosition);

    ASSERT_EQ(count, referenceCount);
    ASSERT_EQ(system.lastUsedParticle, reference->lastUsedParticle);
    ASSERT_TRUE(std::equal(system.positionData.begin(), system.positionData.begin() + 4 * count,
                           reference->positionData.begin()));
    ASSERT_TRUE(std::equal(system.colorData.begin(), system.colorData.begin() + 4 * count,
                           reference->colorData.begin()));
    expectSameKeySequence(system.pool, reference->pool);
    expectSameRecords(system.pool, reference->pool);
    for (int i = system.liveEnd; i < maxParticles; ++i) {
        ASSERT_FALSE(isLive(system.pool[i])) << "live record " << i << " beyond liveEnd";
    }
}

glm::vec3 randomCamera(std::mt19937& random) {
    std::uniform_real_distribution<float> coordinate(-2.0f, 12.0f);
    return glm::vec3(coordinate(random), coordinate(random), coordinate(random));
}

float randomFrameTime(std::mt19937& random) {
    const float choices[] = {0.0f, 0.003f, 0.0075f, 0.012f, 0.016f, 0.02f, 0.05f, 0.3f};
    return choices[std::uniform_int_distribution<int>(0, 7)(random)];
}

void runRandomFrames(ParticleSystem& system, std::mt19937& random, int frames) {
    for (int frame = 0; frame < frames; ++frame) {
        SCOPED_TRACE(frame);
        stepAndCompare(system, randomFrameTime(random), randomCamera(random), random());
        if (::testing::Test::HasFatalFailure()) {
            return;
        }
    }
}

} // namespace

TEST(ParticleSpawnCount, FollowsTheFrameTimeUpToThreePerFrame) {
    EXPECT_EQ(spawnCount(0.0151f), 3);
    EXPECT_EQ(spawnCount(0.0101f), 2);
    EXPECT_EQ(spawnCount(0.006f), 1);
    EXPECT_EQ(spawnCount(0.004f), 0);
    EXPECT_EQ(spawnCount(0.0f), 0);
    EXPECT_EQ(spawnCount(0.5f), 3);
    EXPECT_EQ(spawnCount(1.0e30f), 3);
    EXPECT_EQ(spawnCount(INFINITY), 3);
    // Nothing for frame times that are negative or undefined.
    EXPECT_EQ(spawnCount(-0.02f), 0);
    EXPECT_EQ(spawnCount(-INFINITY), 0);
    EXPECT_EQ(spawnCount(NAN), 0);
}

// The product is formed in double from the float frame time, so a float
// that reads 0.015 (stored as 0.01499999966) stays below three spawns.
TEST(ParticleSpawnCount, TruncatesTheExactProductOfTheFloatFrameTime) {
    EXPECT_EQ(spawnCount(0.015f), 2);
    EXPECT_EQ(spawnCount(0.01f), 1);
    const float firstForThree = std::nextafter(0.015f, 1.0f);
    EXPECT_EQ(spawnCount(firstForThree), 3);
    EXPECT_EQ(spawnCount(0.005f), 0);
    EXPECT_EQ(spawnCount(std::nextafter(0.005f, 1.0f)), 1);
}

TEST(ParticleFreeSearch, StartsAtTheLastUsedRecordAndWraps) {
    auto system = freshSystem();
    EXPECT_EQ(findFreeParticle(*system), 0);

    for (int i = 0; i < 5; ++i) {
        makeLive(system->pool[i], 1.0f, 3.0f);
    }
    system->lastUsedParticle = 2;
    EXPECT_EQ(findFreeParticle(*system), 5);
    EXPECT_EQ(system->lastUsedParticle, 5);

    // A free record ahead of lastUsedParticle is passed over while the scan
    // towards the end still finds one.
    system->pool[1].life = 0.0f;
    EXPECT_EQ(findFreeParticle(*system), 5);

    for (int i = 90000; i < maxParticles; ++i) {
        makeLive(system->pool[i], 1.0f, 3.0f);
    }
    system->lastUsedParticle = 90000;
    EXPECT_EQ(findFreeParticle(*system), 1);
    EXPECT_EQ(system->lastUsedParticle, 1);
}

TEST(ParticleFreeSearch, FullPoolOverwritesRecordZeroAndKeepsLastUsed) {
    auto system = freshSystem();
    for (Particle& p : system->pool) {
        makeLive(p, 1.0f, 3.0f);
    }
    system->lastUsedParticle = 4321;
    EXPECT_EQ(findFreeParticle(*system), 0);
    EXPECT_EQ(system->lastUsedParticle, 4321);

    // The farthest record stays at index 0 through the ordering.
    system->pool[0].position = glm::vec3(9.0f);
    makeLive(system->pool[0], 123.0f, 100.0f);
    system->restoreOrder();
    std::srand(3);
    EXPECT_EQ(updateParticleSystem(*system, 0.016f, origin), maxParticles);
    EXPECT_EQ(system->lastUsedParticle, 4321);
    const auto fresh =
        std::count_if(system->pool.begin(), system->pool.end(),
                      [](const Particle& p) { return p.position.x == particleSpawnPoint.x; });
    EXPECT_EQ(fresh, 1) << "all three spawns went into record 0, the last one kept";
    const auto stillOld = std::count_if(system->pool.begin(), system->pool.end(),
                                        [](const Particle& p) { return p.life > 100.0f; });
    EXPECT_EQ(stillOld, 0) << "record 0 was overwritten";
}

TEST(ParticleSpawn, SetsTheFountainValuesAndDrawsRandInOrder) {
    std::srand(1);
    const int first = std::rand();
    const int second = std::rand();
    std::srand(1);
    Particle particle{};
    particle.cameraDistance = -1.0f;
    spawnParticle(particle, 0.02f);

    EXPECT_FLOAT_EQ(particle.life, 0.16f);
    EXPECT_EQ(particle.position, glm::vec3(2.5f, 3.0f, 0.5f));
    EXPECT_EQ(particle.speed, glm::vec3(0.0f, float(second % 15 + 5), float(first % 15 + 5)));
    EXPECT_EQ(std::make_tuple(particle.r, particle.g, particle.b, particle.a),
              std::make_tuple(200, 240, 240, 50));
    EXPECT_FLOAT_EQ(particle.size, 0.1f);
    EXPECT_EQ(particle.cameraDistance, -1.0f) << "the distance waits for the update";
}

TEST(ParticleUpdate, FirstSpawnsGoToTheFrontAndAreUpdatedInTheSameFrame) {
    auto system = freshSystem();
    const float deltaTime = 0.016f;
    std::srand(7);
    const int first = std::rand();
    const int second = std::rand();
    std::srand(7);
    const glm::vec3 cameraPosition(5.0f, 7.0f, 9.0f);

    ASSERT_EQ(updateParticleSystem(*system, deltaTime, cameraPosition), 3);
    EXPECT_EQ(system->lastUsedParticle, 2) << "spawns took records 0, 1, 2";
    EXPECT_EQ(system->liveEnd, 3);

    glm::vec3 speed(0.0f, float(second % 15 + 5), float(first % 15 + 5));
    speed += glm::vec3(0.0f, -2.81f, 0.0f) * deltaTime * 0.1f;
    const glm::vec3 position = particleSpawnPoint + speed * deltaTime * 0.1f;
    EXPECT_EQ(system->positionData[0], position.x);
    EXPECT_EQ(system->positionData[1], position.y);
    EXPECT_EQ(system->positionData[2], position.z);
    EXPECT_EQ(system->positionData[3], 0.1f);
    EXPECT_EQ(system->colorData[3], 50);
    const auto spawnedFirst = std::find_if(system->pool.begin(), system->pool.begin() + 3,
                                           [&](const Particle& p) { return p.speed == speed; });
    ASSERT_NE(spawnedFirst, system->pool.begin() + 3);
    EXPECT_FLOAT_EQ(spawnedFirst->life, 7.0f * deltaTime);
    EXPECT_FLOAT_EQ(spawnedFirst->cameraDistance, glm::length(position - cameraPosition));
}

TEST(ParticleUpdate, ADyingParticleCountsButLeavesItsInstanceSlot) {
    auto system = freshSystem();
    std::srand(11);
    ASSERT_EQ(updateParticleSystem(*system, 0.016f, origin), 3);
    std::fill(system->positionData.begin(), system->positionData.end(), -42.0f);
    std::fill(system->colorData.begin(), system->colorData.end(), 7);

    // Long enough for the first three to die, while the new three live on.
    ASSERT_EQ(updateParticleSystem(*system, 0.3f, origin), 6);
    for (int slot = 0; slot < 3; ++slot) {
        EXPECT_EQ(system->positionData[4 * slot], -42.0f) << "dead slot " << slot;
        EXPECT_EQ(system->colorData[4 * slot], 7) << "dead slot " << slot;
    }
    for (int slot = 3; slot < 6; ++slot) {
        EXPECT_EQ(system->positionData[4 * slot + 3], 0.1f) << "live slot " << slot;
        EXPECT_EQ(system->colorData[4 * slot], 200) << "live slot " << slot;
    }
    EXPECT_EQ(system->positionData[4 * 6], -42.0f) << "nothing past the count";
    for (int i = maxParticles - 3; i < maxParticles; ++i) {
        EXPECT_EQ(system->pool[i].cameraDistance, -1.0f) << "the dead go last";
    }
    EXPECT_EQ(system->pool[maxParticles - 4].cameraDistance, 0.0f);
}

TEST(ParticleUpdate, OrdersFarToNearWithTheDeadLast) {
    auto system = freshSystem();
    const float distances[] = {2.0f, 9.0f, 5.0f};
    for (int i = 0; i < 3; ++i) {
        makeLive(system->pool[i], 1.0f, 0.0f);
        system->pool[i].position = glm::vec3(distances[i], 0.0f, 0.0f);
    }
    makeLive(system->pool[3], 0.0005f, 0.0f);
    system->pool[3].position = glm::vec3(20.0f, 0.0f, 0.0f);
    system->restoreOrder();

    ASSERT_EQ(updateParticleSystem(*system, 0.001f, origin), 4);
    EXPECT_NEAR(system->pool[0].position.x, 9.0f, 1e-3f);
    EXPECT_NEAR(system->pool[1].position.x, 5.0f, 1e-3f);
    EXPECT_NEAR(system->pool[2].position.x, 2.0f, 1e-3f);
    EXPECT_EQ(system->pool[3].cameraDistance, 0.0f) << "unused records sit between";
    EXPECT_EQ(system->pool.back().cameraDistance, -1.0f);
    EXPECT_EQ(system->pool.back().position.x, 20.0f);
    EXPECT_EQ(system->liveEnd, 3);
}

// The incremental ordering against a full sort of the whole pool, frame after
// frame, from several kinds of starting pool.
TEST(ParticleOrdering, MatchesAFullSortFromAFreshPool) {
    std::mt19937 random(1234);
    auto system = freshSystem();
    runRandomFrames(*system, random, 60);
}

TEST(ParticleOrdering, MatchesAFullSortWithManyLiveRecordsAndTies) {
    std::mt19937 random(99);
    auto system = freshSystem();
    std::uniform_real_distribution<float> life(0.0f, 1.0f);
    std::uniform_int_distribution<int> kind(0, 9);
    for (int i = 0; i < 30000; ++i) {
        Particle& p = system->pool[i * 3];
        makeLive(p, life(random), 0.0f);
        // Several records at the very same spot give equal distances.
        const float spot = float(kind(random));
        p.position = glm::vec3(spot, spot * 0.5f, 1.0f);
        p.speed = kind(random) < 5 ? glm::vec3(0.0f) : glm::vec3(0.0f, 1.0f, 2.0f);
        p.size = 0.1f;
    }
    for (int i = 0; i < maxParticles; i += 7) {
        if (!isLive(system->pool[i])) {
            system->pool[i].cameraDistance = -1.0f;
        }
    }
    system->lastUsedParticle = 50000;
    system->restoreOrder();
    runRandomFrames(*system, random, 40);
}

TEST(ParticleOrdering, MatchesAFullSortWhenFreeRecordsCarryOddDistances) {
    std::mt19937 random(5);
    auto system = freshSystem();
    std::uniform_real_distribution<float> distance(-3.0f, 30.0f);
    for (int i = 0; i < maxParticles; i += 11) {
        system->pool[i].cameraDistance = distance(random);
    }
    for (int i = 0; i < 200; ++i) {
        makeLive(system->pool[i * 37], 0.2f, 0.0f);
    }
    system->restoreOrder();
    runRandomFrames(*system, random, 30);
}

TEST(ParticleOrdering, MatchesAFullSortWithAFullPool) {
    std::mt19937 random(77);
    auto system = freshSystem();
    std::uniform_real_distribution<float> life(0.5f, 2.0f);
    std::uniform_real_distribution<float> coordinate(0.0f, 10.0f);
    for (Particle& p : system->pool) {
        makeLive(p, life(random), 0.0f);
        p.position = glm::vec3(coordinate(random), coordinate(random), coordinate(random));
    }
    system->lastUsedParticle = 777;
    system->restoreOrder();
    for (int frame = 0; frame < 4; ++frame) {
        SCOPED_TRACE(frame);
        stepAndCompare(*system, 0.016f, randomCamera(random), random());
        ASSERT_FALSE(HasFatalFailure());
    }
    EXPECT_EQ(system->lastUsedParticle, 777);
}
