// The one container of the program: a doubly linked list of values it does not own.
#pragma once

#include <cstdint>
#include <vector>

template <typename T>
class ObjectList {
public:
    struct Node {
        T value;
        Node* next;
        Node* prev;
    };

    ObjectList() = default;
    ~ObjectList() { Clear(); }
    ObjectList(const ObjectList&) = delete;
    ObjectList& operator=(const ObjectList&) = delete;

    // Makes `value` the node at position `index`; an index below 0 or above count appends.
    void InsertAt(T value, std::int32_t index) {
        Node* node = new Node{value, nullptr, nullptr};
        if (head == nullptr) {
            head = tail = node;
            ++count;
            return;
        }
        if (index > count || index < 0) index = count;
        Node* reached = head;
        for (std::int32_t i = 0; i < index && reached != nullptr; ++i) reached = reached->next;
        if (reached == nullptr) {
            node->prev = tail;
            tail->next = node;
            tail = node;
        } else {
            node->next = reached;
            node->prev = reached->prev;
            reached->prev = node;
            if (node->prev == nullptr) {
                head = node;
            } else {
                node->prev->next = node;
            }
        }
        ++count;
    }

    void AddOnce(T value) {
        if (!Contains(value)) InsertAt(value, count);
    }

    // Unlinks the occurrence of `value` nearest the head.
    bool Remove(T value) {
        Node* node = head;
        while (node != nullptr && node->value != value) node = node->next;
        if (node == nullptr) return false;
        if (node->prev != nullptr) node->prev->next = node->next;
        if (node->next != nullptr) node->next->prev = node->prev;
        if (node == head) head = node->next;
        if (node == tail) tail = node->prev;
        delete node;
        --count;
        return true;
    }

    // An index out of range yields the first value, or the null value of an empty list.
    T At(std::int32_t index) const {
        Node* node = head;
        if (index >= 0 && index < count) {
            for (std::int32_t i = 0; i < index; ++i) node = node->next;
        }
        return node != nullptr ? node->value : T{};
    }

    void Clear() {
        Node* node = tail;
        while (node != nullptr) {
            Node* prev = node->prev;
            delete node;
            node = prev;
        }
        head = tail = nullptr;
        count = 0;
    }

    void CopyTo(T* array) const {
        for (Node* node = head; node != nullptr; node = node->next) *array++ = node->value;
    }

    bool Contains(T value) const {
        for (Node* node = head; node != nullptr; node = node->next) {
            if (node->value == value) return true;
        }
        return false;
    }

    // Calls `call(value)` for each value listed when the pass begins, in list order, so that
    // callees may add and remove entries. An entry is called only if it is still listed when
    // its turn comes; entries added during the pass wait for the next one.
    template <typename Call>
    void ForEachInSnapshot(Call call) {
        std::vector<T> snapshot(static_cast<std::size_t>(count));
        CopyTo(snapshot.data());
        for (T value : snapshot) {
            if (Contains(value)) call(value);
        }
    }

    Node* head = nullptr;
    Node* tail = nullptr;
    std::int32_t count = 0;
};
