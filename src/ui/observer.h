#pragma once

#include <algorithm>
#include <mutex>
#include <vector>

namespace ui {

template <class Param>
class ObserverImpl;

// Receives the broadcasts of one ObserverImpl. A receiver leaves every observer it joined when
// it is destroyed, so a broadcast never reaches a window that has gone.
template <class Param>
class ReceiverImpl {
 public:
  ReceiverImpl() = default;
  ReceiverImpl(const ReceiverImpl&) = delete;
  ReceiverImpl& operator=(const ReceiverImpl&) = delete;
  virtual ~ReceiverImpl() {
    std::vector<ObserverImpl<Param>*> observers;
    {
      std::lock_guard lock(mutex_);
      observers.swap(observers_);
    }
    for (ObserverImpl<Param>* observer : observers) observer->RemoveReceiver(this);
  }

  virtual void Receive(const Param& param) = 0;

 private:
  friend class ObserverImpl<Param>;
  void Joined(ObserverImpl<Param>* observer) {
    std::lock_guard lock(mutex_);
    observers_.push_back(observer);
  }
  void Left(ObserverImpl<Param>* observer) {
    std::lock_guard lock(mutex_);
    std::erase(observers_, observer);
  }

  std::mutex mutex_;
  std::vector<ObserverImpl<Param>*> observers_;
};

// Hands one kind of parameter to every receiver that joined, in joining order. Receivers that
// join or leave during a broadcast take effect from the next one.
template <class Param>
class ObserverImpl {
 public:
  ObserverImpl() = default;
  ObserverImpl(const ObserverImpl&) = delete;
  ObserverImpl& operator=(const ObserverImpl&) = delete;
  ~ObserverImpl() {
    std::vector<ReceiverImpl<Param>*> receivers;
    {
      std::lock_guard lock(mutex_);
      receivers.swap(receivers_);
    }
    for (ReceiverImpl<Param>* receiver : receivers) receiver->Left(this);
  }

  void AddReceiver(ReceiverImpl<Param>* receiver) {
    {
      std::lock_guard lock(mutex_);
      if (std::find(receivers_.begin(), receivers_.end(), receiver) != receivers_.end()) return;
      receivers_.push_back(receiver);
    }
    receiver->Joined(this);
  }

  void RemoveReceiver(ReceiverImpl<Param>* receiver) {
    bool removed = false;
    {
      std::lock_guard lock(mutex_);
      removed = std::erase(receivers_, receiver) > 0;
    }
    if (removed) receiver->Left(this);
  }

  void Broadcast(const Param& param) {
    std::vector<ReceiverImpl<Param>*> receivers;
    {
      std::lock_guard lock(mutex_);
      receivers = receivers_;
    }
    for (ReceiverImpl<Param>* receiver : receivers) {
      if (IsReceiver(receiver)) receiver->Receive(param);
    }
  }

  std::size_t ReceiverCount() const {
    std::lock_guard lock(mutex_);
    return receivers_.size();
  }

 private:
  friend class ReceiverImpl<Param>;
  bool IsReceiver(ReceiverImpl<Param>* receiver) const {
    std::lock_guard lock(mutex_);
    return std::find(receivers_.begin(), receivers_.end(), receiver) != receivers_.end();
  }

  mutable std::mutex mutex_;
  std::vector<ReceiverImpl<Param>*> receivers_;
};

}  // namespace ui
