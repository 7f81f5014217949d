// Readings per second from the log to a local Mosquitto broker (started here on a free
// loopback port), counted when the broker has acknowledged every one (QoS 1); and what
// one logged row costs the thread that logs it.
#include "app/publisher/MqttPublisher.h"
#include "app/publisher/ReadingJson.h"
#include "app/publisher/testing/MosquittoBroker.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace varnex {
namespace {

LoggedRow SampleRow(std::int32_t no)
{
    LoggedRow row;
    row.row.No = no;
    row.row.Function = "DCV";
    row.row.Value = "1.23456";
    row.row.Unit = "V";
    row.utcMs = 1796844274123;
    row.si = ToSiQuantity("1.23456", "V", ".");
    return row;
}

struct BrokerAndPublisher {
    testing::MosquittoBroker broker;
    std::unique_ptr<MqttPublisher> publisher;
    BrokerAndPublisher()
    {
        publisher = std::make_unique<MqttPublisher>(*ParseMqttUrl(broker.url("bench/publisher")));
        // Connected before timing starts.
        publisher->enqueue("{}");
        publisher->waitUntilDelivered(std::chrono::seconds(20));
    }
};

void BM_PublishToLocalBroker(benchmark::State& state)
{
    BrokerAndPublisher setup;
    const auto batch = static_cast<std::int32_t>(state.range(0));
    std::int32_t no = 0;
    for (auto _ : state) {
        for (std::int32_t i = 0; i < batch; ++i)
            setup.publisher->rowLogged(SampleRow(++no));
        if (!setup.publisher->waitUntilDelivered(std::chrono::seconds(60)))
            state.SkipWithError("the broker did not acknowledge every reading");
    }
    state.SetItemsProcessed(state.iterations() * batch);
    state.counters["dropped"] = double(setup.publisher->status().dropped);
}
BENCHMARK(BM_PublishToLocalBroker)->Arg(20000)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_RowLoggedCallerCost(benchmark::State& state)
{
    BrokerAndPublisher setup;
    std::int32_t no = 0;
    const LoggedRow row = SampleRow(1);
    for (auto _ : state) {
        LoggedRow r = row;
        r.row.No = ++no;
        setup.publisher->rowLogged(r);
        if ((no & 0xFFF) == 0) {
            state.PauseTiming(); // keep the queue from filling and dropping
            setup.publisher->waitUntilDelivered(std::chrono::seconds(60));
            state.ResumeTiming();
        }
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RowLoggedCallerCost);

void BM_ReadingJson(benchmark::State& state)
{
    const LoggedRow row = SampleRow(12);
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadingJson(row));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ReadingJson);

} // namespace
} // namespace varnex
